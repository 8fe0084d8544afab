#!/usr/bin/python3
"""The statistics of a GPX file with gpxpy: the peer that `wend-cli stats` is timed against.

Parses the file, then computes the 3D length, the ascent and descent, and the moving data
(time, distance, maximum speed), each over the whole file, as the Debian package gpxpy does.

    bench/gpxpy_stats.py FILE.gpx
"""
import sys

import gpxpy


def main(path):
    with open(path, encoding="utf-8") as f:
        gpx = gpxpy.parse(f)
    length = gpx.length_3d()
    updown = gpx.get_uphill_downhill()
    moving = gpx.get_moving_data()
    print(f"length_3d {length:.1f} m")
    print(f"uphill {updown.uphill:.1f} m, downhill {updown.downhill:.1f} m")
    print(f"moving {moving.moving_time:.0f} s over {moving.moving_distance:.1f} m, "
          f"stopped {moving.stopped_time:.0f} s, max speed {moving.max_speed:.2f} m/s")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: gpxpy_stats.py FILE.gpx")
    main(sys.argv[1])
