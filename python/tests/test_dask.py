# quenbol.dask on a local cluster of two worker processes: count_files against
# quenbol-count --csv on the same files, post_summary against the sums of
# the same files counted in one process.
import csv
import io

import dask.bag
import pandas as pd
import pytest
from distributed import Client, LocalCluster

import quenbol.dask
from conftest import run_counter
from test_posts import NEW_YEAR, YEAR_END


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


def test_post_summary_of_a_bag_adds_up_its_batches(client, tmp_path):
    paths = []
    for i, data in enumerate([YEAR_END, NEW_YEAR] * 3):
        paths.append(tmp_path / f"{i}.dat")
        paths[-1].write_bytes(data)
    expected = quenbol.post_summary(paths, period="week")
    assert expected["posts"] == 12 and expected["co_mentions"][0][9] == 6

    bag = dask.bag.from_sequence([str(p) for p in paths], npartitions=3)
    assert quenbol.dask.post_summary(bag, client=client, period="week") == expected
    assert quenbol.dask.post_summary(paths, client=client, period="week", batch_size=4) == expected
