"""Counting files on a Dask cluster: the paths are cut into batches, each
worker counts its batches with the counter's own pipeline, and the rows come
back as one pandas DataFrame.

    from dask.distributed import Client
    import quenbol.dask
    client = Client("tcp://scheduler:8786")
    df = quenbol.dask.count_files(paths, client=client)

Every worker must see the files under the same paths (a shared file system).
"""

import csv
import io
import os

import pandas as pd

from . import _quenbol, _words

__all__ = ["count_files", "COLUMNS"]

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
    _words(keywords, manual)  # refuses a keyword file, an unknown manual word, here and now
    keyword_bytes = None
    if keywords is not None:
        if isinstance(keywords, (bytes, bytearray, memoryview)):
            keyword_bytes = bytes(keywords)
        else:
            with open(keywords, "rb") as f:
                keyword_bytes = f.read()
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
