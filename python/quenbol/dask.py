"""Counting files on a Dask cluster: the paths are cut into batches, each
worker counts its batches with the counter's own pipeline, and the rows come
back as one pandas DataFrame; or, post by post, each batch's sums of posts
are added up into the sums of all.

    from dask.distributed import Client
    import quenbol.dask
    client = Client("tcp://scheduler:8786")
    df = quenbol.dask.count_files(paths, client=client)
    weeks = quenbol.dask.post_summary(dat_paths, client=client, period="week")

Every worker must see the files under the same paths (a shared file system).
"""

import csv
import functools
import io
import os

import pandas as pd

from . import _quenbol, _words, add_post_summaries

__all__ = ["count_files", "post_summary", "COLUMNS"]

# The --csv header's columns: file, encoding, bytes, the 21 display names,
# manual, top, error.
COLUMNS = next(csv.reader([_quenbol.csv_header().lstrip("\ufeff").rstrip("\r\n")]))
_COUNTS = COLUMNS[3:-2]  # the 21 members and manual


def _count_batch(paths, encoding, keyword_bytes, manual):
    """On a worker: the batch's --csv rows, or the reason the batch failed."""
    try:
        words = _words(keyword_bytes, manual)
        return "".join(_quenbol.FileRows([os.fsencode(p) for p in paths], words, encoding, 1, True, False))
    except Exception as failure:  # out of memory, say: the other batches go on
        return failure


def _failed_rows(paths, failure):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\r\n")
    for path in paths:
        writer.writerow([path, "", ""] + [0] * len(_COUNTS) + ["", f"{type(failure).__name__}: {failure}"])
    return out.getvalue()


def _keyword_bytes(keywords, manual):
    """A keyword file's bytes, read here once with the counter's rules and
    sent to the workers; refuses a keyword file or an unknown manual word
    here and now."""
    _words(keywords, manual)
    if keywords is None or isinstance(keywords, (bytes, bytearray, memoryview)):
        return None if keywords is None else bytes(keywords)
    with open(keywords, "rb") as f:
        return f.read()


def count_files(paths, *, client=None, encoding="auto", keywords=None, manual=None, batch_size=16):
    """Counts the files on the cluster of `client` (the current client when
    None) and returns a DataFrame with quenbol-count --csv's columns, one
    row per path in the order of `paths`: "file" (the path as given),
    "encoding", "bytes" (NA when unreadable), the 21 members' counts,
    "manual", "top" (the leader's name, "" when none) and "error" ("" when
    counted). A file that cannot be read gets its error, as does every file
    of a batch whose task failed (a worker lost for good, say); the rest are
    counted. A keyword file is read here, once, with the counter's rules
    (KeywordFileError when refused), and sent to the workers."""
    from distributed import default_client

    if batch_size < 1:
        raise ValueError("batch_size must be 1 or more")
    client = client or default_client()
    paths = [os.fspath(p) for p in paths]
    keyword_bytes = _keyword_bytes(keywords, manual)
    manual = None if manual is None else list(manual)

    batches = [paths[i:i + batch_size] for i in range(0, len(paths), batch_size)]
    futures = client.map(_count_batch, batches, encoding=encoding, keyword_bytes=keyword_bytes,
                         manual=manual, pure=False)
    parts = []
    for batch, future in zip(batches, futures):
        try:
            result = future.result()
        except Exception as failure:
            result = failure
        parts.append(result if isinstance(result, str) else _failed_rows(batch, result))

    header = _quenbol.csv_header().lstrip("\ufeff")
    dtypes = {name: "int64" for name in _COUNTS}
    df = pd.read_csv(io.StringIO(header + "".join(parts)), dtype={**{c: str for c in COLUMNS}, **dtypes},
                     keep_default_na=False, na_filter=False)
    df["file"] = paths
    df["bytes"] = pd.to_numeric(df["bytes"].mask(df["bytes"] == ""), errors="raise").astype("Int64")
    return df


def _batch_post_summary(paths, encoding, keyword_bytes, manual, format, period):
    """On a worker: the sums of the posts of a batch of files."""
    return _quenbol.file_post_sums([os.fsencode(p) for p in paths], _words(keyword_bytes, manual), encoding, 1,
                                   format, period)


def post_summary(paths, *, client=None, encoding="auto", keywords=None, manual=None, format="auto", period="day",
                 batch_size=16):
    """Counts the files post by post on the cluster of `client` (the current
    client when None) and returns the sums of all their posts, as
    quenbol-count --json --unit post --period `period` gives them (see
    quenbol.count). `paths` is a list of paths or a dask.bag.Bag of them (a
    bag's own partitions are the batches). Each batch is summed on a
    worker, and the batches' sums are added up on the cluster
    (quenbol.add_post_summaries). A file that cannot be read raises OSError
    naming it, as the counter refuses the run."""
    import dask.bag
    from distributed import default_client

    if batch_size < 1:
        raise ValueError("batch_size must be 1 or more")
    client = client or default_client()
    keyword_bytes = _keyword_bytes(keywords, manual)
    batch = functools.partial(_batch_post_summary, encoding=encoding, keyword_bytes=keyword_bytes,
                              manual=None if manual is None else list(manual), format=format, period=period)
    if not isinstance(paths, dask.bag.Bag):
        paths = [os.fspath(p) for p in paths]
        if not paths:
            return batch([])
        paths = dask.bag.from_sequence(paths, partition_size=batch_size)
    summed = paths.reduction(lambda part: batch(list(part)), add_post_summaries, split_every=8)
    return client.compute(summed).result()
