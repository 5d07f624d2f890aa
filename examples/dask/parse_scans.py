"""Parses a partitioned dataset of scans with dask.distributed and writes the results as Parquet.

The input is a folder of JSON Lines files, one partition each, every line {"id": ..., "text": ...} with the text's
characters U+0000 to U+00FF standing for the document's bytes (the format of quorix-parse --jsonl-in). Each
partition is parsed by one task with one parser, and written as one Parquet file of the same name: the id, the
status, the decoder id and one column per result field under the README's names (indicators as booleans).

    python examples/dask/parse_scans.py scans/ parsed/ --workers 2          # a LocalCluster on this machine
    python examples/dask/parse_scans.py scans/ parsed/ --scheduler tcp://host:8786
"""

from __future__ import annotations

import argparse
import datetime
import json
import pathlib
import time

import pyarrow as pa
import pyarrow.parquet as pq

import quorix

_INDICATORS = frozenset(("isLimitedDurationDocument", "isOrganDonor", "isVeteran"))
SCHEMA = pa.schema(
    [("id", pa.string()), ("status", pa.int32()), ("decoderId", pa.int32())]
    + [(name, pa.bool_() if name in _INDICATORS else pa.string()) for name in quorix.FIELD_NAMES]
)


def result_row(row_id: str, result: quorix.Result) -> dict:
    """One output row: the id, the status, the decoder and every field, None where the document has none."""
    fields = result.to_dict()
    return {"id": row_id, "status": result.status, "decoderId": result.decoder_id} | {
        name: fields.get(name) for name in quorix.FIELD_NAMES
    }


def read_partition(path: pathlib.Path) -> list[tuple[str, str]]:
    rows = []
    with path.open(encoding="utf-8") as lines:
        for line in lines:
            if line.strip():
                record = json.loads(line)
                rows.append((str(record["id"]), record["text"]))
    return rows


def parse_partition(path: str, out_dir: str, now: datetime.datetime | None = None) -> int:
    """Parses one partition with one parser, writes its Parquet file and returns how many rows it holds."""
    rows = read_partition(pathlib.Path(path))
    with quorix.Parser(clock=now) as parser:
        table = pa.Table.from_pylist([result_row(row_id, parser.try_parse(text)) for row_id, text in rows], SCHEMA)
    pq.write_table(table, pathlib.Path(out_dir) / (pathlib.Path(path).stem + ".parquet"))
    return len(rows)


def parse_dataset(client, in_dir: pathlib.Path, out_dir: pathlib.Path, now: datetime.datetime | None = None) -> int:
    """Parses every *.jsonl partition of in_dir on the client's cluster into out_dir; returns the row count."""
    out_dir.mkdir(parents=True, exist_ok=True)
    partitions = sorted(str(path) for path in in_dir.glob("*.jsonl"))
    futures = client.map(parse_partition, partitions, out_dir=str(out_dir), now=now, pure=False)
    return sum(client.gather(futures))


def main() -> None:
    from dask.distributed import Client, LocalCluster

    arguments = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    arguments.add_argument("input", type=pathlib.Path, help="folder of *.jsonl partitions")
    arguments.add_argument("output", type=pathlib.Path, help="folder for the Parquet files")
    arguments.add_argument("--workers", type=int, default=2, help="workers of a LocalCluster (default 2)")
    arguments.add_argument("--scheduler", help="address of a running scheduler instead of a LocalCluster")
    arguments.add_argument("--now", type=datetime.datetime.fromisoformat, help="fixed clock, YYYY-MM-DDTHH:MM:SS")
    options = arguments.parse_args()
    if options.scheduler:
        client = Client(options.scheduler)
    else:
        client = Client(LocalCluster(n_workers=options.workers, threads_per_worker=1, processes=True))
    with client:
        start = time.perf_counter()
        rows = parse_dataset(client, options.input, options.output, options.now)
        seconds = time.perf_counter() - start
    print(f"{rows} inputs in {seconds:.2f} s ({rows / seconds:.0f} per second)")


if __name__ == "__main__":
    main()
