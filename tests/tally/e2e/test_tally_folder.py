#!/usr/bin/env python3
"""The teacher's tool end to end on a class folder.

The folder is made as a classroom's PCs fill it: the example questionnaire and one answer file per
PC (Shift-JIS, CR LF lines) from random answers with a fixed seed: Japanese names, two of them
sent from two PCs each, free texts with markup, formulas, commas, quotes, a leading tab or CR, and
empty ones; PC names whose numbers sort by value. Beside them lie files that must be left out and
listed: a send cut short, a file from an older questionnaire, a picture, and (unless
--without-link) a link to an answer file outside the folder whose content must never show.

The tool runs once on the folder. Its exit code, the files it adds, its summary, its CSV (read
with the csv module) and its report (rendered by headless Chromium and read back from the DOM)
are compared with a count made here from the generated records, never from the tool's output.
With --compare-csv-with, another build of the tool runs on an identical folder and the two CSV
files must be equal byte for byte.
"""

import argparse
import concurrent.futures
import csv
import dataclasses
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
from decimal import ROUND_HALF_UP, Decimal

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "report"))
from rendered_page import Chromium, check, expect_equal, failures, parse_dom  # noqa: E402

SEED = 20241209
TOOL_TIMEOUT = 120
CLASS_FOLDER = "2年1組"
# The questionnaire's time, and the answers sent an hour later, a minute apart.
QUESTIONNAIRE_TIME = 1732089600  # 2024-11-20 08:00 UTC
FIRST_SEND_TIME = QUESTIONNAIRE_TIME + 3600
OUTPUTS = {"tally.html", "tally.csv"}

# Created in a shuffled order, so that the folder's own order is not the report's.
COMPUTERS = [f"PC{number}" for number in range(1, 35)] + ["Lib2", "LIB10", "lab3", "MAC1"]
CUT_SHORT, OLDER_QUESTIONNAIRE, PICTURE, LINK = "PC35.ans", "PC36.ans", "写真.ans", "link.ans"

NAMES = [
    "山田太郎", "佐藤花子", "鈴木一郎", "高橋美咲", "田中健太", "伊藤さくら", "渡辺翔", "中村陽菜", "小林大輝",
    "加藤結衣", "吉田蓮", "山口葵", "松本悠真", "井上凛", "木村湊", "林美月", "清水陸", "山崎杏", "森優斗",
    "池田心春", "橋本颯太", "阿部結菜", "石川蒼", "前田彩", "藤田樹", "小川芽依", "岡田大和", "後藤紬",
    "長谷川律", "村上澪", "髙橋①", '田中 "タナカ"', "鈴木,次郎", "@山本", "近藤ひなた", "<b>太字</b>",
]
# What pupils type: each hostile text is given to one pupil, the plain ones (or nothing) to the rest.
HOSTILE_TEXTS = [
    "<script>alert(1)</script>", "<img src=x onerror=alert(1)>", "=1+1", "-2+3", "@SUM(A1)", "+81",
    "楽しかった, また行きたい", '"運動会" が一番', "\tタブで始まる", "\r改行で始まる", "[END]", "[Q3T]",
    "&amp; は & のこと", "①～⑩ の丸数字",
]
PLAIN_TEXTS = ["運動会", "修学旅行が楽しかった", "合唱コンクール", "文化祭の劇", "特になし", "給食がおいしい"]
# Someone's private answer file, reachable only through the link.
SECRET_NAME = "教頭先生の控え"
SECRET_TEXT = "期末テストの答え 7731"

# ---- the class and its count, made here ---------------------------------------------------------


@dataclasses.dataclass
class Question:
    slot: int
    kind: str  # "R", "C" or "T"
    text: str
    choices: list


@dataclasses.dataclass
class Record:
    computer: str
    respondent: str
    answers: dict  # slot: the chosen index or None ("R"), flags ("C"), text ("T")
    sent_at: int

    @property
    def file_name(self):
        return self.computer + ".ans"


def read_questionnaire(path):
    """Title and questions of a well-formed questionnaire: a marker line opens a question, an
    empty line ends its choices; questions fill the panels in order."""
    with open(path, "rb") as file:
        lines = file.read().decode("cp932").split("\r\n")
    questions = []
    current = None
    for line in lines[3:]:
        if re.match(r"\[[RCT]\]", line):
            current = Question(len(questions) + 1, line[1], line[3:], [])
            questions.append(current)
        elif not line:
            current = None
        elif current is not None and current.kind != "T":
            current.choices.append(line)
    return lines[0], questions


def random_answer(question, rng, texts):
    if question.kind == "R":
        return None if rng.random() < 0.15 else rng.randrange(len(question.choices))
    if question.kind == "C":
        return [rng.random() < 0.4 for _ in question.choices]
    return texts.pop() if texts else rng.choice(PLAIN_TEXTS + [""] * 3)


def make_class(questions):
    """The counted records, in the order their files are created."""
    rng = random.Random(SEED)
    names = list(NAMES)
    rng.shuffle(names)
    names = names[:len(COMPUTERS) - 3] + [names[0], names[1], ""]  # two names sent twice, one left empty
    rng.shuffle(names)
    computers = list(COMPUTERS)
    rng.shuffle(computers)
    texts = list(HOSTILE_TEXTS)
    rng.shuffle(texts)
    records = []
    for index, (computer, name) in enumerate(zip(computers, names)):
        answers = {q.slot: random_answer(q, rng, texts) for q in questions}
        records.append(Record(computer, name, answers, FIRST_SEND_TIME + 60 * index))
    check(not texts, "every hostile text was given to a pupil")
    return records


def answer_lines(record, questions):
    lines = [record.computer, record.respondent]
    for question in questions:
        answer = record.answers[question.slot]
        lines.append(f"[Q{question.slot}{question.kind}]")
        if question.kind == "R":
            lines += ["1" if answer == index else "0" for index in range(len(question.choices))]
        elif question.kind == "C":
            lines += ["1" if ticked else "0" for ticked in answer]
        else:
            lines.append(answer)
    return lines + ["[END]"]


def answer_file_bytes(record, questions):
    return "".join(line + "\r\n" for line in answer_lines(record, questions)).encode("cp932")


def natural_key(name):
    """Names as people sort them: digit runs by value, ASCII letters without case."""
    parts = re.split(r"(\d+)", name)
    return [int(part) if index % 2 else part.lower().encode("utf-8") for index, part in enumerate(parts)], name


def percent(count, total):
    if total == 0:
        return "0.0"
    return str((Decimal(count) * 100 / Decimal(total)).quantize(Decimal("0.1"), rounding=ROUND_HALF_UP))


def neutralised(text):
    return "'" + text if text[:1] in ("=", "+", "-", "@", "\t", "\r") else text


def sent_at_text(record):
    return time.strftime("%Y-%m-%d %H:%M", time.gmtime(record.sent_at))


def shared_name_files(records):
    names = [record.respondent for record in records if record.respondent]
    return [record.file_name for record in records if record.respondent and names.count(record.respondent) > 1]


# ---- the folder ---------------------------------------------------------------------------------


def write_file(path, data, modified):
    with open(path, "wb") as file:
        file.write(data)
    os.utime(path, (modified, modified))


def write_problem_files(folder, records, questions):
    """The files that must be listed and left out, in a fixed form."""
    last = records[-1].sent_at
    whole = answer_file_bytes(dataclasses.replace(records[0], computer="PC35"), questions)
    write_file(os.path.join(folder, CUT_SHORT), whole[:whole.rindex(b"[END]")], last + 60)
    older = [dataclasses.replace(q, choices=q.choices[:-1]) if q.kind == "R" else q for q in questions]
    record = dataclasses.replace(records[1], computer="PC36",
                                 answers={q.slot: ([False] * len(q.choices) if q.kind == "C" else
                                                   records[1].answers[q.slot] if q.kind == "T" else 0)
                                          for q in older})
    write_file(os.path.join(folder, OLDER_QUESTIONNAIRE), answer_file_bytes(record, older), last + 120)
    picture = b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR" + bytes(random.Random(SEED).randrange(256) for _ in range(600))
    write_file(os.path.join(folder, PICTURE), picture, last + 180)


def write_secret(root, questions):
    """A well-formed answer file outside the folder: counted, it would show its texts."""
    os.makedirs(os.path.join(root, "private"))
    answers = {q.slot: (0 if q.kind == "R" else [True] * len(q.choices) if q.kind == "C" else SECRET_TEXT)
               for q in questions}
    path = os.path.join(root, "private", "控え.ans")
    write_file(path, answer_file_bytes(Record("TEACHER", SECRET_NAME, answers, 0), questions), FIRST_SEND_TIME)
    return path


def build_folder(root, questionnaire, questions, records, with_link):
    folder = os.path.join(root, CLASS_FOLDER)
    os.makedirs(folder)
    with open(questionnaire, "rb") as file:
        write_file(os.path.join(folder, "data.txt"), file.read(), QUESTIONNAIRE_TIME)
    for record in records:
        write_file(os.path.join(folder, record.file_name), answer_file_bytes(record, questions), record.sent_at)
    write_problem_files(folder, records, questions)
    if with_link:
        os.symlink(write_secret(root, questions), os.path.join(folder, LINK))
    return folder


def folder_snapshot(folder):
    snapshot = {}
    for name in os.listdir(folder):
        path = os.path.join(folder, name)
        if os.path.islink(path):
            snapshot[name] = ("link", os.readlink(path))
        else:
            with open(path, "rb") as file:
                snapshot[name] = ("file", file.read())
    return snapshot


# ---- the tool -----------------------------------------------------------------------------------


def run_tool(command, folder, path_prefix, cwd):
    env = dict(os.environ, TZ="UTC")
    command = [os.path.abspath(part) if os.path.exists(part) else part for part in command]
    # Standard input not a terminal: from one, Wine gives the exe a console of its own, which the
    # tool takes for a double click (the browser opened, a key awaited).
    result = subprocess.run(command + [path_prefix + folder], cwd=cwd, env=env, capture_output=True,
                            stdin=subprocess.DEVNULL, timeout=TOOL_TIMEOUT)
    if result.stderr:
        sys.stderr.write(result.stderr.decode("utf-8", "replace"))
    return result


def check_run(result, before, folder, expected_problems, console_encoding, counted, note_count):
    expect_equal(result.returncode, 1, "exit code (files were left out)")
    after = folder_snapshot(folder)
    expect_equal(sorted(set(after) - set(before)), sorted(OUTPUTS), "files added to the folder")
    expect_equal([name for name in before if after.get(name) != before[name]], [], "the folder's own files changed")
    try:
        summary = result.stdout.decode(console_encoding).replace("\r\n", "\n")
    except UnicodeDecodeError as error:
        check(False, f"the summary is no {console_encoding}: {error}")
        return
    print(summary)
    check(f"集計 {counted} 件、集計できなかったもの {len(expected_problems)} 件、注意 {note_count} 件" in summary,
          "the summary counts the files")
    for name in expected_problems:
        check(re.search(rf"^  {re.escape(name)}: ", summary, re.M) is not None, f"the summary lists {name}")
    check("tally.html" in summary and "tally.csv" in summary, "the summary names the outputs")


# ---- the spreadsheet ----------------------------------------------------------------------------


def expected_csv(questions, records):
    header = ["コンピューター名", "回答者", "書き込み日時"]
    for question in questions:
        if question.kind == "C":
            header += [f"{question.text}: {choice}" for choice in question.choices]
        else:
            header.append(question.text)
    rows = [header]
    for record in records:
        row = [record.computer, record.respondent, sent_at_text(record)]
        for question in questions:
            answer = record.answers[question.slot]
            if question.kind == "R":
                row.append("" if answer is None else question.choices[answer])
            elif question.kind == "C":
                row += ["1" if ticked else "0" for ticked in answer]
            else:
                row.append(answer)
        rows.append(row)
    return [[neutralised(cell) for cell in row] for row in rows]


def check_csv(path, questions, records):
    with open(path, "rb") as file:
        raw = file.read()
    check(raw.startswith(b"\xef\xbb\xbf"), "the CSV begins with a UTF-8 byte-order mark")
    with open(path, encoding="utf-8-sig", newline="") as file:
        rows = list(csv.reader(file))
    expected = expected_csv(questions, records)
    expect_equal(rows[0], expected[0], "CSV header")
    expect_equal(len(rows), len(expected), "CSV rows: one per counted file")
    for row, wanted in zip(rows[1:], expected[1:]):
        expect_equal(row, wanted, f"CSV row of {wanted[0]}")


# ---- the report ---------------------------------------------------------------------------------


def as_html_text(text):
    """A text as the page's DOM holds it: HTML reads every CR or CR LF as LF."""
    return text.replace("\r\n", "\n").replace("\r", "\n")


def check_safe(dom, html_bytes, csv_bytes):
    expect_equal([e.tag for e in dom.walk() if e.tag in ("script", "img", "iframe", "object", "embed")], [],
                 "no element that runs or fetches")
    handlers = [(e.tag, name) for e in dom.walk() for name in e.attributes if name.startswith("on")]
    expect_equal(handlers, [], "no event handler attribute")
    for secret in (SECRET_NAME, SECRET_TEXT, "TEACHER"):
        for what, data in (("tally.html", html_bytes), ("tally.csv", csv_bytes)):
            check(secret.encode("utf-8") not in data, f"the linked file's {secret!r} is not in {what}")


def check_chart(article, question, records):
    total = len(records)
    expect_equal(article.find("p", "base").attributes["data-respondents"], str(total), f"問 {question.slot} base")
    if question.kind == "R":
        counts = [sum(r.answers[question.slot] == i for r in records) for i in range(len(question.choices))]
        none = sum(r.answers[question.slot] is None for r in records)
    else:
        counts = [sum(r.answers[question.slot][i] for r in records) for i in range(len(question.choices))]
        none = sum(not any(r.answers[question.slot]) for r in records)
    expected = [(text, count) for text, count in zip(question.choices, counts)]
    expected.append(("無回答" if question.kind == "R" else "どれも選ばなかった", none))
    shown = []
    for row in article.find_all("li", "bar-row"):
        shown.append((row.find("span", "label").text(), int(row.attributes["data-count"])))
        count = int(row.attributes["data-count"])
        expect_equal((row.find("span", "count").text(), row.find("span", "percent").text(),
                      row.attributes["data-percent"]),
                     (str(count), percent(count, total) + "%", percent(count, total)), f"問 {question.slot} figures")
    expect_equal(shown, expected, f"問 {question.slot}: choices and counts")


def check_free_texts(article, question, records):
    answered = [r for r in records if r.answers[question.slot]]
    expect_equal(int(article.find("span", "text-count").attributes["data-count"]), len(answered),
                 f"問 {question.slot} answered")
    expect_equal(int(article.find("span", "empty-count").attributes["data-count"]), len(records) - len(answered),
                 f"問 {question.slot} left empty")
    shown = [(item.find("p", "answer-text").text(), item.find("span", "respondent").text(),
              item.find("span", "computer").text()) for item in article.find_all("li", "free-text")]
    expected = [(as_html_text(r.answers[question.slot]), r.respondent or "（名前なし）", r.computer)
                for r in answered]
    expect_equal(shown, expected, f"問 {question.slot}: the answers as text, by whom")


def response_cells(record, questions):
    cells = [record.computer, record.respondent, sent_at_text(record)]
    for question in questions:
        answer = record.answers[question.slot]
        if question.kind == "R":
            text = "" if answer is None else question.choices[answer]
        elif question.kind == "C":
            text = "、".join(choice for choice, ticked in zip(question.choices, answer) if ticked)
        else:
            text = as_html_text(answer)
        cells.append(text or "—")
    return cells


def check_report(dom, title, questions, records, expected_problems):
    expect_equal(dom.find("h1", "title").text(), title, "title")
    expect_equal(dom.find("dd", "folder").text(), CLASS_FOLDER, "folder")
    expect_equal(dom.find("dd", "counted").attributes["data-count"], str(len(records)), "counted files")
    articles = dom.find_all("article", "question")
    expect_equal([(a.attributes["data-slot"], a.attributes["data-kind"]) for a in articles],
                 [(str(q.slot), q.kind) for q in questions], "questions in slot order")
    for article, question in zip(articles, questions):
        expect_equal(article.find("span", "question-text").text(), question.text, f"問 {question.slot} text")
        if question.kind == "T":
            check_free_texts(article, question, records)
        else:
            check_chart(article, question, records)
    rows = dom.find_all("tr", "response")
    expect_equal([row.attributes["data-file"] for row in rows], [r.file_name for r in records],
                 "responses in natural order")
    for row, record in zip(rows, records):
        expect_equal([cell.text() for cell in row.find_all("td")], response_cells(record, questions),
                     f"the responses table's row of {record.file_name}")
    expect_equal([row.find("td", "file").text() for row in dom.find_all("tr", "problem")], expected_problems,
                 "files left out, by name")
    expect_equal([row.attributes["data-file"] for row in dom.find_all("tr", "note")], shared_name_files(records),
                 "notes: the names sent from two PCs")


# ---- the whole ----------------------------------------------------------------------------------


def compare_csv(reference_tool, root, questionnaire, questions, records, wine_csv):
    """The other build on an identical folder: the same bytes."""
    other_root = os.path.join(root, "reference")
    folder = build_folder(other_root, questionnaire, questions, records, with_link=False)
    result = run_tool([reference_tool], folder, "", root)
    expect_equal(result.returncode, 1, "the reference build's exit code")
    with open(os.path.join(folder, "tally.csv"), "rb") as file:
        reference = file.read()
    with open(wine_csv, "rb") as file:
        tested = file.read()
    if tested != reference:
        pairs = zip(tested.decode("utf-8", "replace").split("\r\n"), reference.decode("utf-8", "replace").split("\r\n"))
        first = next((f"line {n + 1}: {a!r} here, {b!r} there" for n, (a, b) in enumerate(pairs) if a != b), "")
        check(False, f"the CSV differs from {reference_tool}'s ({len(tested)} and {len(reference)} bytes) {first}")


def parse_arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tally", nargs="+", required=True, help="the command that runs the tool")
    parser.add_argument("--questionnaire", required=True)
    parser.add_argument("--screenshot", required=True)
    parser.add_argument("--path-prefix", default="", help="what makes this machine's path the tool's (Z:)")
    parser.add_argument("--console-encoding", default="utf-8")
    parser.add_argument("--without-link", action="store_true", help="Wine shows a link as the file it names")
    parser.add_argument("--compare-csv-with", help="another build of the tool, run on an identical folder")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    return parser.parse_args()


def main():
    args = parse_arguments()
    if args.compare_csv_with and not os.access(args.compare_csv_with, os.X_OK):
        raise SystemExit(f"FAIL: the tool to compare the CSV with is missing: {args.compare_csv_with}"
                         " (build it first: cmake --build --preset dev --target mirunea_tally)")
    title, questions = read_questionnaire(args.questionnaire)
    created = make_class(questions)
    records = sorted(created, key=lambda r: natural_key(r.file_name))
    expected_problems = sorted([CUT_SHORT, OLDER_QUESTIONNAIRE, PICTURE] + ([] if args.without_link else [LINK]),
                               key=natural_key)
    root = tempfile.mkdtemp(prefix="tally-e2e-")
    try:
        folder = build_folder(root, args.questionnaire, questions, created, not args.without_link)
        before = folder_snapshot(folder)
        result = run_tool(args.tally, folder, args.path_prefix, root)
        check_run(result, before, folder, expected_problems, args.console_encoding, len(records),
                  len(shared_name_files(records)))
        if not OUTPUTS <= set(os.listdir(folder)):
            raise SystemExit(f"FAIL: the tool wrote no report ({len(failures)} checks failed)")
        html_path, csv_path = (os.path.join(folder, name) for name in ("tally.html", "tally.csv"))
        check_csv(csv_path, questions, records)
        os.makedirs(os.path.dirname(args.screenshot), exist_ok=True)
        chromium = Chromium(os.path.join(root, "browser"))
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            dom_run = pool.submit(chromium, "file://" + html_path, "--dump-dom")
            shot = pool.submit(chromium, "file://" + html_path, f"--screenshot={args.screenshot}",
                               "--window-size=1000,10500")
            with open(html_path, "rb") as html_file, open(csv_path, "rb") as csv_file:
                html_bytes, csv_bytes = html_file.read(), csv_file.read()
            dom = parse_dom(dom_run.result().decode("utf-8"))
            check_safe(dom, html_bytes, csv_bytes)
            check_report(dom, title, questions, records, expected_problems)
            shot.result()
        if args.compare_csv_with:
            compare_csv(args.compare_csv_with, root, args.questionnaire, questions, created, csv_path)
    finally:
        if args.keep or failures:
            print(f"folder kept: {root}")
        else:
            shutil.rmtree(root, ignore_errors=True)
    if failures:
        raise SystemExit(f"{len(failures)} checks failed")
    print(f"{len(records)} answer files counted and {len(expected_problems)} left out, as counted here;"
          f" screenshot: {args.screenshot}")


if __name__ == "__main__":
    main()
