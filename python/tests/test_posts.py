# Counting post by post: quenbol.count(unit="post"), count_files and
# post_summary against a hand-made thread and against quenbol-count, and
# summaries added up.
import json

import pytest

import quenbol
from conftest import jsonl_rows, run_counter

# Two .dat logs. 2024-12-29 (a Sunday) is in ISO week 2024-W52; 2024-12-30
# and 2025-01-02 are in 2025-W01. Post 3 of the first is deleted: no date,
# no ID, no counts.
YEAR_END = (
    "名無し<><>2024/12/30(月) 21:00:00.00 ID:p1<> 七緒と澄香 <>年末スレ<>\n"
    "名無し<><>2024/12/29(日) 23:59:59.00 ID:p2<> 瑠衣！ <br> 瑠衣！ <>\n"
    "あぼーん<>あぼーん<>あぼーん<>あぼーん<>\n"
).encode("cp932")
NEW_YEAR = "七緒推し<><>2025/01/02(木) 08:00:00.00 ID:q1<> 澄香と七緒、ナオピー <>新年スレ<>\n".encode("cp932")

SUMIKA, RUI, NAO = 0, 7, 9  # 椎葉澄香, 月岡瑠衣, 高篠七緒


def named(members, field):
    return {m["name"]: m[field] for m in members if m[field]}


def weeks(summary):
    return [(p["period"], p["posts"], {i: n for i, n in enumerate(p["members"]) if n}) for p in summary["periods"]]


@pytest.fixture
def logs(tmp_path):
    (tmp_path / "year-end.dat").write_bytes(YEAR_END)
    (tmp_path / "new-year.dat").write_bytes(NEW_YEAR)
    return [tmp_path / "year-end.dat", tmp_path / "new-year.dat"]


def test_a_texts_posts_and_their_sums(logs):
    counted = quenbol.count(YEAR_END, unit="post", period="week")
    rows = [(r["post"], r["date"], r["id"], named(r["members"], "current"), r["manual"]) for r in counted["rows"]]
    assert rows == [(1, "2024-12-30T21:00:00", "p1", {"椎葉澄香": 1, "高篠七緒": 1}, 0),
                    (2, "2024-12-29T23:59:59", "p2", {"月岡瑠衣": 2}, 0),
                    (3, None, None, {}, 0)]
    summary = counted["summary"]
    assert summary["posts"] == 3
    assert named(summary["members"], "mentions") == {"椎葉澄香": 1, "月岡瑠衣": 2, "高篠七緒": 1}
    assert named(summary["members"], "share_of_posts") == {"椎葉澄香": 0.3333, "月岡瑠衣": 0.3333, "高篠七緒": 0.3333}
    assert summary["co_mentions"][SUMIKA][NAO] == summary["co_mentions"][NAO][SUMIKA] == 1
    assert weeks(summary) == [("2024-W52", 1, {RUI: 2}), ("2025-W01", 1, {SUMIKA: 1, NAO: 1})]


def test_files_by_post_are_what_the_counter_gives(logs, tmp_path):
    missing = tmp_path / "missing.dat"
    assert list(quenbol.count_files([*logs, missing], unit="post", jobs=2)) == \
        jsonl_rows("--unit", "post", *logs, missing, check=False)
    expected = json.loads(run_counter("--json", "--unit", "post", "--period", "month", *logs).stdout)
    assert quenbol.post_summary(logs, period="month") == expected
    with pytest.raises(OSError, match="missing.dat: cannot open"):
        quenbol.post_summary([logs[0], missing])


def test_summaries_add_up(logs):
    parts = [quenbol.post_summary([log], period="week") for log in logs]
    summed = quenbol.add_post_summaries(parts)
    assert summed == quenbol.post_summary(logs, period="week")
    assert summed["posts"] == 4
    assert named(summed["members"], "posts") == {"椎葉澄香": 2, "月岡瑠衣": 1, "高篠七緒": 2}
    assert named(summed["members"], "share_of_posts") == {"椎葉澄香": 0.5, "月岡瑠衣": 0.25, "高篠七緒": 0.5}
    assert summed["co_mentions"][SUMIKA][NAO] == 2 and summed["co_mentions"][NAO][NAO] == 2
    assert weeks(summed) == [("2024-W52", 1, {RUI: 2}), ("2025-W01", 2, {SUMIKA: 2, NAO: 3})]


@pytest.mark.parametrize("options", [{"unit": "thread"}, {"unit": "post", "by_keyword": True},
                                     {"unit": "post", "format": "xml"}, {"unit": "post", "period": "year"}])
def test_unknown_units_formats_and_periods_are_refused(options):
    with pytest.raises(ValueError):
        quenbol.count("七緒", **options)
