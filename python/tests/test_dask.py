# quenbol.dask.count_files on a local cluster of two worker processes against
# quenbol-count --csv on the same files.
import csv
import io

import pandas as pd
import pytest
from distributed import Client, LocalCluster

import quenbol.dask
from conftest import run_counter


@pytest.fixture(scope="module")
def client():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        yield client


def test_dataframe_equals_the_counters_csv(client, texts, tmp_path, keyword_file):
    paths = []
    for i, text in enumerate(texts * 3):
        paths.append(tmp_path / f"t{i:02}.txt")
        paths[-1].write_bytes(text.encode("utf-8" if i % 2 else "cp932", errors="replace"))
    paths[5:5] = [tmp_path / "missing.txt"]
    out = run_counter("--csv", "--jobs", "2", "--keywords", keyword_file, *paths, check=False).stdout
    header, *rows = list(csv.reader(io.StringIO(out.decode("utf-8-sig"), newline="")))

    df = quenbol.dask.count_files(paths, client=client, keywords=keyword_file, batch_size=4)

    assert list(df.columns) == header
    assert list(df["file"]) == [str(p) for p in paths]
    cells = [["" if pd.isna(v) else str(v) for v in row[1:]] for row in df.itertuples(index=False)]
    assert cells == [row[1:] for row in rows]
    assert df["error"][5].startswith("cannot open") and df["bytes"].isna()[5]
