#!/usr/bin/env python3
"""Grows a compiled plug-in module to a given size with deterministic filler, for realistic archives.

The filler is appended after the module's last byte, where neither the Windows loader (PE overlay)
nor the ELF loader looks, so the module still loads and its version resource stays readable. It mixes
incompressible blocks with blocks drawn from a small skewed alphabet, in proportions that make the
padded module deflate to about 64% of its size, like a real plug-in binary.

Usage: pad_plugin_module.py --size BYTES [--seed N] INPUT OUTPUT
"""

import argparse
import os
import random
import sys
import tempfile

BLOCK_SIZE = 64 * 1024

# Share of incompressible blocks; the alphabet blocks deflate to about 31%, so the mix lands near 64%.
RANDOM_SHARE = 0.48

# Mostly zero bytes with a few opcode-like values, roughly the byte statistics of machine code.
ALPHABET = bytes([0, 0, 0, 0, 0, 0, 0, 0x48, 0x8B, 0x89, 0xFF, 0x0F, 0, 0, 0, 0] * 16)


def filler_blocks(total, seed):
    generator = random.Random(seed)
    share = 0.0
    remaining = total

    while remaining > 0:
        size = min(BLOCK_SIZE, remaining)
        block = generator.randbytes(size)
        share += RANDOM_SHARE

        if share >= 1.0:
            share -= 1.0
        else:
            block = block.translate(ALPHABET)

        remaining -= size
        yield block


def main(arguments):
    parser = argparse.ArgumentParser(description="Pads a plug-in module to a given size.")
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--size", type=int, required=True, help="size of the padded module in bytes")
    parser.add_argument("--seed", type=int, default=0)
    options = parser.parse_args(arguments)

    module_size = os.path.getsize(options.input)
    if module_size > options.size:
        print(f"pad_plugin_module: error: '{options.input}' already has {module_size} bytes, more than {options.size}",
              file=sys.stderr)
        return 1

    folder = os.path.dirname(os.path.abspath(options.output))
    os.makedirs(folder, exist_ok=True)
    handle, temporary = tempfile.mkstemp(prefix=".pad-", dir=folder)

    try:
        with os.fdopen(handle, "wb") as out:
            with open(options.input, "rb") as module:
                out.write(module.read())
            for block in filler_blocks(options.size - module_size, options.seed):
                out.write(block)

        os.chmod(temporary, 0o755)
        os.replace(temporary, options.output)
    except BaseException:
        os.unlink(temporary)
        raise

    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
