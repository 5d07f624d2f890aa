"""Parses per second through quorix.Parser.parse and through quorix.parse_many, on one sample file (default: the
barcode sample). Run with the package installed: python bench/python/parse_benchmark.py [FILE] [--threads N]"""

from __future__ import annotations

import argparse
import pathlib
import statistics
import time

import quorix

SAMPLE = pathlib.Path(__file__).parents[1] / "samples" / "aamva-2016-typical.txt"


def rate(run, count: int, repetitions: int, clock=time.process_time) -> float:
    """The median parses per second of repetitions runs of count parses, by default in CPU time of this process
    (all its threads)."""
    rates = []
    for _ in range(repetitions):
        start = clock()
        run()
        rates.append(count / (clock() - start))
    return statistics.median(rates)


def main() -> None:
    arguments = argparse.ArgumentParser(description=__doc__)
    arguments.add_argument("file", nargs="?", type=pathlib.Path, default=SAMPLE)
    arguments.add_argument("--count", type=int, default=100_000)
    arguments.add_argument("--repetitions", type=int, default=5)
    arguments.add_argument("--threads", type=int, default=1)
    options = arguments.parse_args()
    text = options.file.read_bytes()
    with quorix.Parser() as parser:
        parser.parse(text)  # warm, and fail early on a text no decoder accepts

        def one_by_one() -> None:
            parse = parser.parse
            for _ in range(options.count):
                parse(text)

        single = rate(one_by_one, options.count, options.repetitions)
    batch_input = [text] * options.count
    def many() -> None:
        quorix.parse_many(batch_input, threads=options.threads)

    batch = rate(many, options.count, options.repetitions)
    batch_wall = rate(many, options.count, options.repetitions, time.perf_counter)
    print(f"{options.file.name}: {len(text)} bytes")
    print(f"Parser.parse: {single:,.0f} parses per CPU second")
    print(f"parse_many, {options.threads} thread(s): {batch:,.0f} parses per CPU second, {batch_wall:,.0f} per second")


if __name__ == "__main__":
    main()
