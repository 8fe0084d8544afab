#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs from it: the
# programs and their versions, the desktop entry, the GPX file type, the icons, the AppStream
# metadata (each checked by the validator the distributions use) and the manual pages.
# Usage: check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

id=app.wend.Wend
share=$prefix/share
expected=(
  bin/wend bin/wend-cli
  share/applications/$id.desktop
  share/mime/packages/$id.xml
  share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/man/man1/wend.1.gz share/man/man1/wend-cli.1.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
# Nothing else: no test programs, no build leftovers.
unexpected=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort |
  comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$unexpected" ] || fail "installed but not expected: $unexpected"

for size in 16 22 24 32 48 64 128 256; do
  python3 - "$share/icons/hicolor/${size}x${size}/apps/$id.png" "$size" <<'PY' ||
import struct, sys
with open(sys.argv[1], "rb") as f:
    header = f.read(24)
size = int(sys.argv[2])
sys.exit(0 if header[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", header[16:24]) == (size, size) else 1)
PY
    fail "the ${size} px icon is not a ${size}x${size} PNG"
done

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
  fail "the metadata does not name release $version"
xmllint --noout "$share/mime/packages/$id.xml" || fail "the MIME package is not well-formed"

for page in wend wend-cli; do
  gzip -dc "$share/man/man1/$page.1.gz" | grep -q "^\.TH .*\"Wend $version\"" ||
    fail "the manual page of $page does not name Wend $version"
done

[ "$("$prefix/bin/wend-cli" --version)" = "wend-cli $version" ] || fail "wend-cli --version"
# The toolkit's own options pass by the editor's parser.
[ "$("$prefix/bin/wend" -platform offscreen --version)" = "Wend $version" ] ||
  fail "wend -platform offscreen --version"
# Help and version need no display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/wend" --help |
  grep -q -- "--new-instance" || fail "wend --help without a display"

[ "$failures" -eq 0 ]
