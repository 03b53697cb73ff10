"""Paint cost of the main component at 600 x 600, all formats installed against none.

qv_bench_paint builds the real MainComponent and paints it into an image; it runs in the tests'
sandbox (building the component reads the shared settings file) on a private Xvfb.
"""

import os
import shutil

from bench_common import SANDBOX, WITH_DISPLAY, fresh_folder, run_json


def paint_figures(paint_program, base, paints, reps, prefix=()):
    folder = fresh_folder(os.path.join(base, "paint"))
    try:
        return run_json([SANDBOX, WITH_DISPLAY, *prefix, paint_program, folder, str(paints), str(reps)])
    finally:
        shutil.rmtree(folder, ignore_errors=True)
