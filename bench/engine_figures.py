"""Install, update, the bare inflate-and-write floor and unzip, on one file system.

The floor is also taken with an fsync per file ("durable-limit"): the engine flushes every file
before it swaps a bundle in, which the plain floor and unzip never do; the two floors together
show what that durability costs on the file system at hand.

Every timed run is a fresh process (qv_bench_engine), so each starts with the embedded archives
unread, as the installer does. Before every timed run dirty data is flushed, and on the ordinary
disk the page cache is dropped, so that inputs come from the disk there.
"""

import os
import shutil

from bench_common import BenchError, fresh_folder, log, run_json, tree_digest


class EngineFigures:
    def __init__(self, engine, archives, base, page_cache, drop_cache, prefix=()):
        self.engine = engine
        self.prefix = list(prefix)
        # unzip extracts <name>.zip into <root>/<name>, the same folders the engine is given.
        self.archives = sorted(archives, key=lambda p: ["vst3.zip", "clap.zip", "aax.zip"].index(os.path.basename(p)))
        self.base = base
        self.page_cache = page_cache
        self.drop_cache = drop_cache
        self.samples = {name: [] for name in ("install", "update", "unzip", "limit", "durable-limit")}
        self.cpu = {name: [] for name in self.samples}
        self.rss = {"install": [], "update": []}
        self.rss_detail = []
        self.largest_archive = None

    def _prepare(self):
        if self.drop_cache:
            self.page_cache.drop()
        else:
            os.sync()

    def _engine(self, mode, root, *extra):
        self._prepare()
        result = run_json([*self.prefix, self.engine, mode, root, *extra])
        self.samples[mode].append(result["seconds"])
        self.cpu[mode].append(result["cpu_seconds"])
        if mode in self.rss:
            self.largest_archive = result["largest_archive"]
            self.rss[mode].append(result["rss_peak"] - result["rss_before"])
            if mode == "install":
                self.rss_detail.append((result["rss_after_anon"], result["rss_after_file"]))
        return result

    def _ours(self, rep):
        root = fresh_folder(os.path.join(self.base, f"ours-{rep}"))
        self._engine("install", root)
        self._engine("update", root)
        return root

    def _unzip(self, rep):
        root = fresh_folder(os.path.join(self.base, f"unzip-{rep}"))
        self._engine("unzip", root, *self.archives)
        return root

    def _limit(self, rep):
        root = fresh_folder(os.path.join(self.base, f"limit-{rep}"))
        self._engine("limit", root)
        return root

    def _durable_limit(self, rep):
        root = fresh_folder(os.path.join(self.base, f"durable-limit-{rep}"))
        self._engine("durable-limit", root)
        return root

    def run(self, reps):
        blocks = [self._ours, self._unzip, self._limit, self._durable_limit]
        for rep in range(reps):
            # Rotate the order, so that no measurement always follows the same one.
            shift = rep % len(blocks)
            roots = {}
            for block in blocks[shift:] + blocks[:shift]:
                roots[block.__name__] = block(rep)
            if rep == 0:
                self._check_same_work(roots)
            for root in roots.values():
                shutil.rmtree(root)
            log(f"    rep {rep + 1}/{reps}: install {self.samples['install'][-1]:.3f} s, update {self.samples['update'][-1]:.3f} s, "
                f"unzip {self.samples['unzip'][-1]:.3f} s, limit {self.samples['limit'][-1]:.3f} s, "
                f"durable limit {self.samples['durable-limit'][-1]:.3f} s")

    def _check_same_work(self, roots):
        """The three ways must produce the same files, or the figures compare different work."""
        reference = tree_digest(roots["_unzip"])
        for name in ("_ours", "_limit", "_durable_limit"):
            digest = tree_digest(roots[name])
            if digest != reference:
                only_here = sorted(set(digest) - set(reference))
                only_unzip = sorted(set(reference) - set(digest))
                differing = sorted(k for k in set(digest) & set(reference) if digest[k] != reference[k])
                raise BenchError(f"{name[1:]} and unzip produced different trees: only in {name[1:]} {only_here}, "
                                 f"only in unzip {only_unzip}, differing {differing}")
