# quenbol.count, matches and Counter against quenbol-count on the same texts,
# and the errors they raise.
import threading

import pytest

import quenbol
from conftest import jsonl_rows, run_counter, without_file

MANUAL = ["るい", "七緒", "ピポラ"]


@pytest.fixture
def write(tmp_path):
    counter = iter(range(1000))

    def write(data):
        path = tmp_path / f"t{next(counter)}.txt"
        path.write_bytes(data)
        return path
    return write


@pytest.mark.parametrize("options", [{}, {"manual": MANUAL}, {"by_keyword": True}, {"keywords": "file"}])
def test_str_counts_as_its_utf8_form_does(texts, write, keyword_file, options):
    options = {**options, "keywords": keyword_file} if "keywords" in options else options
    args = [f"--manual={w}" for w in options.get("manual", [])]
    args += ["--by-keyword"] if options.get("by_keyword") else []
    args += ["--keywords", keyword_file] if "keywords" in options else []
    for text in texts:
        [expected] = jsonl_rows("--encoding", "utf-8", *args, write(text.encode("utf-8")))
        assert quenbol.count(text, **options) == without_file(expected)


@pytest.mark.parametrize("encoding", ["cp932", "euc-jp", "utf-16le", "utf-8-sig"])
def test_bytes_are_read_as_the_counter_reads_a_file(texts, write, encoding):
    for text in texts:
        data = text.encode(encoding, errors="replace")
        [expected] = jsonl_rows(write(data))
        assert quenbol.count(data) == without_file(expected)
    data = texts[0].encode("euc-jp")
    [expected] = jsonl_rows("--encoding", "euc-jp", write(data))
    assert quenbol.count(data, encoding="euc-jp") == without_file(expected)


def test_a_str_without_code_page_932_forms_matches_around_them():
    row = quenbol.count("😀月岡瑠衣😀瑠😀衣")
    assert [(m["name"], m["current"]) for m in row["members"] if m["current"]] == [("月岡瑠衣", 1)]


def test_matches_equal_the_counters(texts, write, keyword_file):
    for text in texts[:6]:
        path = write(text.encode("utf-8"))
        out = run_counter("--matches", "--context", "4", "--keywords", keyword_file, path).stdout.decode()
        expected = [without_file(__import__("json").loads(line)) for line in out.splitlines()]
        assert quenbol.matches(text, keywords=keyword_file, context=4) == expected
    with pytest.raises(ValueError, match="euc-jp"):
        quenbol.matches("月岡瑠衣".encode("euc-jp"), encoding="euc-jp")


def test_counter_keeps_the_windows_running_totals():
    counter = quenbol.Counter(manual=["瑠衣"])
    counter.search_all("月岡瑠衣")
    row = counter.search_all("月岡瑠衣と瑠衣")
    ruii = row["members"][7]
    assert (ruii["name"], ruii["current"], ruii["total"]) == ("月岡瑠衣", 2, 3)
    assert row["manual"] == {"current": 2, "total": 3}
    row = counter.search_manual_only("瑠衣瑠衣瑠衣")
    assert (row["members"][7]["current"], row["manual"]) == (2, {"current": 3, "total": 6})
    assert counter.results_line() == "  0 " * 7 + "  2" + "   0" * 13 + "\n"
    counter.reset_totals()
    row = counter.search_all("")
    assert (row["members"][7]["total"], row["manual"]["total"]) == (0, 0)


def test_counter_totals_equal_the_counters_over_files(texts, write):
    paths = [write(t.encode("utf-8")) for t in texts]
    counter = quenbol.Counter()
    rows = [counter.search_all(t) for t in texts]
    assert rows == [without_file(r) for r in jsonl_rows("--jobs", "2", "--encoding", "utf-8", *paths)]


def test_refused_keyword_files_raise_the_counters_message(tmp_path):
    foreign = tmp_path / "foreign.ini"
    foreign.write_bytes(b"[not a keyword file]\r\n")
    for path in [foreign, tmp_path / "missing.ini"]:
        message = run_counter("--keywords", path, "--line", check=False).stderr.decode().strip()
        with pytest.raises(quenbol.KeywordFileError) as refused:
            quenbol.count("", keywords=path)
        assert "quenbol-count: " + str(refused.value) == message
    with pytest.raises(quenbol.KeywordFileError):
        quenbol.count("", keywords=foreign.read_bytes())


def test_manual_words_are_refused_as_the_counter_refuses_them():
    with pytest.raises(ValueError, match="at most 7"):
        quenbol.count("", manual=["a"] * 8)
    with pytest.raises(ValueError, match="no code page 932 form"):
        quenbol.count("", manual=["😀"])


def test_threads_count_at_once_as_one_thread_does(texts):
    long_texts = [t * 60 for t in texts]
    expected = [quenbol.count(t) for t in long_texts]
    results = [None] * 4

    def work(i):  # each thread in its own order, so that no two count one text at once
        order = list(range(i, len(long_texts))) + list(range(i))
        results[i] = []
        for _ in range(6):
            rows = [None] * len(long_texts)
            for k in order:
                rows[k] = quenbol.count(long_texts[k])
            results[i].append(rows)
    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results == [[expected] * 6] * 4


def test_count_files_gives_the_counters_rows(texts, write, tmp_path, keyword_file):
    (tmp_path / "dangling.txt").symlink_to(tmp_path / "nowhere")
    paths = [write(t.encode("cp932", errors="replace")) for t in texts] + [tmp_path / "missing.txt"]
    paths[3:3] = [write(texts[0].encode("utf-16")), tmp_path / "dangling.txt"]
    expected = jsonl_rows("--jobs", "2", "--keywords", keyword_file, *paths, check=False)
    assert list(quenbol.count_files(paths, jobs=2, keywords=keyword_file)) == expected
    by_keyword = jsonl_rows("--by-keyword", *paths[:3])
    assert list(quenbol.count_files(paths[:3], by_keyword=True)) == by_keyword
    assert expected[4]["error"] == expected[-1]["error"] == "cannot open: No such file or directory"
