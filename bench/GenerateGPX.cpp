// Writes a realistic large GPX file for benchmarks: several tracks of one-second fixes with
// elevation, time and a heart-rate extension on every point, rest stops where the position
// only jitters, and a few waypoints.
//
//   wend-bench-generate POINTS OUT.gpx [SEED]

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

namespace {

void writeTime(std::FILE* out, long long seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &tm);
    std::fputs(buffer, out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s POINTS OUT.gpx [SEED]\n", argv[0]);
        return 2;
    }
    const long long total = std::atoll(argv[1]);
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) {
        std::perror(argv[2]);
        return 2;
    }
    std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 42);
    std::normal_distribution<double> jitter(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);

    std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<gpx version=\"1.1\" creator=\"wend-bench-generate\" xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
               "     xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\"\n"
               "     xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
               "     xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd "
               "http://www.garmin.com/xmlschemas/TrackPointExtension/v1 "
               "http://www.garmin.com/xmlschemas/TrackPointExtensionv1.xsd\">\n"
               "  <metadata>\n    <name>Benchmark tours</name>\n    <time>2024-05-01T06:00:00Z</time>\n"
               "  </metadata>\n",
               out);

    const int tracks = total >= 100000 ? 8 : total >= 1000 ? 3 : 1;
    for (int w = 0; w < 5; ++w)
        std::fprintf(out, "  <wpt lat=\"%.7f\" lon=\"%.7f\">\n    <ele>%.1f</ele>\n    <name>Hut %d</name>\n"
                          "    <sym>Lodge</sym>\n  </wpt>\n",
                     46.5 + 0.01 * w, 9.8 + 0.02 * w, 1800.0 + 50 * w, w + 1);

    double lat = 46.5, lon = 9.8, ele = 1500.0, heading = unit(random) * 2 * M_PI;
    long long time = 1714543200; // 2024-05-01T06:00:00Z
    long long written = 0;
    for (int t = 0; t < tracks; ++t) {
        long long count = total / tracks + (t < total % tracks ? 1 : 0);
        std::fprintf(out, "  <trk>\n    <name>Tour %d</name>\n    <type>hiking</type>\n    <trkseg>\n", t + 1);
        long long restLeft = 0;
        int heartRate = 110;
        for (long long i = 0; i < count; ++i, ++written) {
            if (restLeft == 0 && unit(random) < 0.0004)
                restLeft = 120 + static_cast<long long>(unit(random) * 900); // a rest stop of 2 to 17 minutes
            double speed = 0.0;
            if (restLeft > 0) {
                --restLeft;
                heartRate += heartRate > 80 ? -1 : 0;
            } else {
                heading += jitter(random) * 0.05;
                speed = 1.2 + 0.3 * jitter(random);
                heartRate += heartRate < 150 ? 1 : -1;
            }
            // Metres to degrees near 46.5 degrees north, plus a little receiver noise.
            lat += (speed * std::cos(heading) + 0.3 * jitter(random)) / 111200.0;
            lon += (speed * std::sin(heading) + 0.3 * jitter(random)) / 76500.0;
            ele += speed * 0.08 * std::sin(written / 900.0) + 0.05 * jitter(random);
            std::fprintf(out,
                         "      <trkpt lat=\"%.7f\" lon=\"%.7f\">\n        <ele>%.1f</ele>\n        <time>",
                         lat, lon, ele);
            writeTime(out, time);
            std::fprintf(out,
                         "</time>\n        <extensions>\n          <gpxtpx:TrackPointExtension>\n"
                         "            <gpxtpx:hr>%d</gpxtpx:hr>\n          </gpxtpx:TrackPointExtension>\n"
                         "        </extensions>\n      </trkpt>\n",
                         heartRate);
            ++time;
        }
        std::fputs("    </trkseg>\n  </trk>\n", out);
        time += 3600 * 14; // overnight
    }
    std::fputs("</gpx>\n", out);
    if (std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
