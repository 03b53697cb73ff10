"""Build cost of embedding the three archives: our .incbin resource table against juce_add_binary_data.

A scratch project (bench/embed) is configured once per way in its own folder; each timed build
starts from a clean folder and covers the whole target: generating the sources, compiling or
assembling them and archiving the library. /usr/bin/time -v gives the wall time and the largest
resident size of any process in the build (the compiler, in practice). One job at a time, so the
peak is one compiler's. JUCE's way costs about a minute and gigabytes per archive, so it is built
once per run; ours as often as asked.
"""

import os
import re

from bench_common import BENCH_DIR, BenchError, fresh_folder, run

WAYS = {"incbin": "embed_incbin", "juce": "embed_juce"}


def _time_v(report_path):
    with open(report_path) as f:
        text = f.read()
    wall = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (?:(\d+):)?(\d+):([\d.]+)", text)
    rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)", text)
    if not wall or not rss:
        raise BenchError(f"cannot read {report_path}")
    hours = int(wall.group(1) or 0)
    seconds = hours * 3600 + int(wall.group(2)) * 60 + float(wall.group(3))
    return seconds, int(rss.group(1)) * 1024


class EmbedFigures:
    def __init__(self, work, archives, resource_table_cmake, build_type):
        self.work = work
        self.archives = archives
        self.resource_table_cmake = resource_table_cmake
        self.build_type = build_type
        self.seconds = {way: [] for way in WAYS}
        self.peak_bytes = {way: [] for way in WAYS}

    def _configure(self, way):
        folder = fresh_folder(os.path.join(self.work, way))
        run(["cmake", "-S", os.path.join(BENCH_DIR, "embed"), "-B", folder, "-G", "Ninja",
             f"-DCMAKE_BUILD_TYPE={self.build_type}",
             f"-DQV_ARCHIVES={';'.join(self.archives)}",
             f"-DQV_RESOURCE_TABLE_CMAKE={self.resource_table_cmake}"])
        return folder

    def build_once(self, way):
        folder = self._configure(way)
        report = os.path.join(self.work, f"{way}.time")
        run(["/usr/bin/time", "-v", "-o", report, "cmake", "--build", folder, "--target", WAYS[way], "-j", "1"])
        seconds, peak = _time_v(report)
        self.seconds[way].append(seconds)
        self.peak_bytes[way].append(peak)
        return seconds, peak
