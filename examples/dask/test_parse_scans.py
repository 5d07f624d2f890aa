"""Runs the Dask job on a local cluster of two worker processes over partitions made from the golden texts, and
checks that its Parquet output equals a single-process parse row by row."""

from __future__ import annotations

import datetime
import os
import pathlib

import pyarrow.parquet as pq
import pytest
from dask.distributed import Client, LocalCluster

import make_scans
import parse_scans
import quorix

GOLDEN = pathlib.Path(os.environ.get("QUORIX_GOLDEN", pathlib.Path(__file__).parents[2] / "testdata" / "golden"))
NOW = datetime.datetime(2024, 6, 15, 12, 0, 0)
PARTITIONS = 5
ROWS = 150  # more than the corpus holds, so every text and some twice


@pytest.fixture(scope="module")
def dataset(tmp_path_factory) -> tuple[pathlib.Path, list[tuple[str, str]]]:
    folder = tmp_path_factory.mktemp("scans")
    return folder, make_scans.write_scans(folder, GOLDEN, PARTITIONS, ROWS)


def test_two_workers_write_what_one_process_parses(dataset, tmp_path):
    folder, rows = dataset
    cluster = LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None)
    with cluster, Client(cluster) as client:
        assert len(client.scheduler_info()["workers"]) == 2
        assert parse_scans.parse_dataset(client, folder, tmp_path, NOW) == len(rows)
    written = sorted(tmp_path.glob("*.parquet"))
    assert [path.stem for path in written] == [f"part-{part:03d}" for part in range(PARTITIONS)]
    actual = [row for path in written for row in pq.read_table(path).to_pylist()]
    with quorix.Parser(clock=NOW) as parser:
        expected = [parse_scans.result_row(row_id, parser.try_parse(text)) for row_id, text in rows]
    assert len(actual) == len(expected)
    for got, want in zip(actual, expected):
        assert got == want, want["id"]
    statuses = {row["status"] for row in actual}
    assert 0 in statuses and -25 in statuses  # parsed and rejected texts both went through
    assert any(row["isOrganDonor"] is True for row in actual)
