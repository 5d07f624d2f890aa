"""Writes a partitioned dataset of scans for parse_scans.py from the golden corpus, its texts in turn (rejected ones
too): python examples/dask/make_scans.py OUT_DIR [--partitions N] [--rows N]"""

from __future__ import annotations

import argparse
import json
import pathlib

GOLDEN = pathlib.Path(__file__).parents[2] / "testdata" / "golden"


def write_scans(out_dir: pathlib.Path, golden: pathlib.Path, partitions: int, rows: int) -> list[tuple[str, str]]:
    """partitions files part-NNN.jsonl of rows lines each; returns every (id, text) in file and line order."""
    texts = [path.read_bytes().decode("latin-1") for path in sorted(golden.glob("*/*.in"))]
    out_dir.mkdir(parents=True, exist_ok=True)
    written = []
    for part in range(partitions):
        lines = []
        for i in range(rows):
            row = (f"scan-{part}-{i}", texts[(part * rows + i) % len(texts)])
            written.append(row)
            lines.append(json.dumps({"id": row[0], "text": row[1]}))
        (out_dir / f"part-{part:03d}.jsonl").write_text("\n".join(lines) + "\n", encoding="utf-8")
    return written


def main() -> None:
    arguments = argparse.ArgumentParser(description=__doc__)
    arguments.add_argument("output", type=pathlib.Path)
    arguments.add_argument("--partitions", type=int, default=20)
    arguments.add_argument("--rows", type=int, default=5000)
    arguments.add_argument("--golden", type=pathlib.Path, default=GOLDEN)
    options = arguments.parse_args()
    rows = write_scans(options.output, options.golden, options.partitions, options.rows)
    print(f"{len(rows)} scans in {options.partitions} partitions in {options.output}")


if __name__ == "__main__":
    main()
