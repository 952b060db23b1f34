#!/usr/bin/env python3
"""The teacher's report and spreadsheet as a teacher opens them.

tally_report_sample renders a class's results full of Japanese and hostile
texts (and the same questionnaire before class) through the tool's writers.
Headless Chromium renders the pages: the counts, the texts and the absence of
any script are read back from its DOM, screenshots at a desktop's and a phone's
width go to the build folder's screenshots/, and the page printed to A4 PDF is
read back page by page (pdftotext) to see that no question of a class of forty is
cut. Gnumeric's
ssconvert opens the CSV as a double click would (no import options) and the
sheet is read back cell by cell from its own file format.
"""

import argparse
import concurrent.futures
import gzip
import os
import re
import shutil
import struct
import subprocess
import xml.etree.ElementTree as ElementTree

from rendered_page import TIMEOUT, Chromium, check, expect_equal, failures, parse_dom, run

GNUMERIC_NS = {"gnm": "http://www.gnumeric.org/v10.dtd"}
# Gnumeric's value types: a cell without one holds a formula.
GNUMERIC_NUMBER = "40"
GNUMERIC_STRING = "60"

def png_size(path):
    with open(path, "rb") as file:
        header = file.read(24)
    check(header[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is a PNG")
    return struct.unpack(">II", header[16:24])


# ---- the report ---------------------------------------------------------------------------------


def choice_rows(article):
    rows = {}
    for row in article.find_all("li", "bar-row"):
        key = "no-answer" if "no-answer" in row.classes() else int(row.attributes["data-choice"])
        rows[key] = (
            row.find("span", "label").text(),
            int(row.attributes["data-count"]),
            row.find("span", "count").text(),
            row.find("span", "percent").text(),
            row.find("rect", "fill").attributes["width"],
        )
    return rows


def check_class_report(dom):
    expect_equal(dom.find_all("script"), [], "script elements")
    expect_equal(dom.find_all("img"), [], "img elements")
    expect_equal(dom.find_all("iframe") + dom.find_all("object") + dom.find_all("embed"), [], "embedded content")
    check(any(element.attributes.get("onerror") is not None for element in dom.walk()) is False,
          "no element has an onerror attribute")
    policy = dom.find("meta", http_equiv="Content-Security-Policy").attributes["content"]
    check(policy.startswith("default-src 'none';") and "script-src" not in policy, f"CSP forbids scripts: {policy}")
    expect_equal(dom.find("html").attributes.get("lang"), "ja", "page language")

    expect_equal(dom.find("h1", "title").text(), "春の遠足アンケート <script>alert(1)</script>", "title")
    expect_equal(dom.find("dd", "folder").text(), "/srv/アンケート/<b>2年1組</b>", "folder")
    expect_equal(dom.find("dd", "counted").attributes["data-count"], "5", "counted files")

    findings = [(f.attributes["data-severity"], f.attributes["data-line"]) for f in dom.find_all("li", "finding")]
    expect_equal(findings, [("error", "12"), ("warning", "5"), ("note", "0")], "findings in order")
    ignored = [row.attributes["data-line"] for row in dom.find_all("tr", "line") if "ignored" in row.classes()]
    expect_equal(ignored, ["12", "101"], "ignored lines")
    expect_equal(dom.find("tr", "line", data_line="7").find("td", "line-text").text(),
                 "<img src=x onerror=alert(1)>", "line 7 as text")

    q1 = dom.find("article", "question", data_slot="1")
    expect_equal(q1.attributes["data-kind"], "R", "question 1 kind")
    expect_equal(q1.find("span", "kind").text(), "択一", "question 1 kind label")
    expect_equal(choice_rows(q1), {
        1: ("水族館", 3, "3", "60.0%", "600"),
        2: ("+動物園", 1, "1", "20.0%", "200"),
        3: ("<img src=x onerror=alert(1)>", 0, "0", "0.0%", "0"),
        "no-answer": ("無回答", 1, "1", "20.0%", "200"),
    }, "question 1 chart")

    q2 = dom.find("article", "question", data_slot="2")
    expect_equal(q2.find("span", "kind").text(), "複数選択", "question 2 kind label")
    expect_equal(choice_rows(q2), {
        1: ("カレー", 4, "4", "80.0%", "800"),
        2: ("=1+1", 2, "2", "40.0%", "400"),
        3: ('寿司, "天ぷら"', 1, "1", "20.0%", "200"),
        "no-answer": ("どれも選ばなかった", 1, "1", "20.0%", "200"),
    }, "question 2 chart")

    q4 = dom.find("article", "question", data_slot="4")
    expect_equal(q4.find("span", "kind").text(), "自由記述", "question 4 kind label")
    texts = [(item.find("p", "answer-text").text(), item.find("span", "respondent").text(),
              item.find("span", "computer").text()) for item in q4.find_all("li", "free-text")]
    expect_equal(texts, [
        ("<script>alert(1)</script>", "山田太郎", "PC01"),
        ("=1+1", "佐藤花子", "PC02"),
        ("-2+3", "<b>鈴木</b>", "PC03"),
        ('一行目\n二行目, "引用"', "田中 \"タナカ\"", "PC05"),
    ], "question 4 answers")
    expect_equal(q4.find("span", "empty-count").attributes["data-count"], "1", "question 4 empty answers")

    rows = {row.attributes["data-file"]: [cell.text() for cell in row.find_all("td")]
            for row in dom.find_all("tr", "response")}
    expect_equal(sorted(rows), ["PC01.ans", "PC02.ans", "PC03.ans", "PC04.ans", "PC05.ans"], "responses")
    expect_equal(rows["PC03.ans"], ["PC03", "<b>鈴木</b>", "2024-05-10 10:17", "+動物園", 'カレー、寿司, "天ぷら"', "-2+3"],
                 "PC03's row")
    problems = [row.find("td", "file").text() for row in dom.find_all("tr", "problem")]
    expect_equal(problems, ["PC06.ans", "<img src=x onerror=alert(1)>.ans", "（フォルダー全体）"], "problems")
    expect_equal([row.attributes["data-file"] for row in dom.find_all("tr", "note")], ["PC05.ans"], "notes")
    expect_equal(dom.find_all("p", "preview-notice"), [], "no preview notice with results")


def check_preview(dom):
    expect_equal(dom.find_all("script"), [], "preview: script elements")
    check(len(dom.find_all("p", "preview-notice")) == 1, "preview: the notice says so")
    expect_equal(dom.find_all("li", "bar-row"), [], "preview: no charts")
    expect_equal(dom.find_all("section", id="responses"), [], "preview: no responses")
    expect_equal(dom.find("span", "name-prompt").text(), "名前", "preview: name field")
    q1 = dom.find("article", "question", data_slot="1")
    expect_equal([(c.find("span", "mark").text(), c.find("span", "label").text()) for c in q1.find_all("li")],
                 [("○", "水族館"), ("○", "+動物園"), ("○", "<img src=x onerror=alert(1)>")], "preview: question 1")
    q2 = dom.find("article", "question", data_slot="2")
    expect_equal([c.find("span", "mark").text() for c in q2.find_all("li")], ["□"] * 3, "preview: question 2 marks")
    check(len(dom.find("article", "question", data_slot="4").find_all("div", "preview-field")) == 1,
          "preview: question 4 shows a field")


def pdf_pages(path):
    """The text of each page, as pdftotext reads it."""
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True, timeout=TIMEOUT, check=True).stdout
    count = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
    check("A4" in info, "the PDF's pages are A4")
    pages = []
    for number in range(1, count + 1):
        pages.append(subprocess.run(["pdftotext", "-f", str(number), "-l", str(number), "-layout", path, "-"],
                                    capture_output=True, text=True, timeout=TIMEOUT, check=True).stdout)
    return pages


def check_print(pages):
    """No question of the class of forty is cut by a page break: on every page, the stretch from a
    question's heading to the next heading (or the page's end) holds the question's last line."""
    check(len(pages) >= 3, f"the full report fills several pages ({len(pages)})")
    last_lines = {"択一": "無回答", "複数選択": "どれも選ばなかった", "自由記述": "／PC40"}
    headings_seen = []
    for number, page in enumerate(pages, 1):
        headings = list(re.finditer(r"問\s*(\d+)\s+(択一|複数選択|自由記述)", page))
        for index, heading in enumerate(headings):
            end = headings[index + 1].start() if index + 1 < len(headings) else len(page)
            slot, kind = heading.group(1), heading.group(2)
            headings_seen.append(int(slot))
            check(last_lines[kind] in page[heading.end():end], f"問 {slot} ends on page {number}, where it starts")
    expect_equal(headings_seen, list(range(1, 11)), "each question printed once, in order")
    check("回答者 40 人" in "".join(pages), "figures are printed as text")


# ---- the spreadsheet ----------------------------------------------------------------------------


def spreadsheet_cells(csv_path, work):
    """ssconvert's sheet: {(row, column): (value type or None for a formula, text)}."""
    out = os.path.join(work, os.path.basename(csv_path) + ".gnumeric")
    env = dict(os.environ, HOME=os.path.join(work, "home"))
    os.makedirs(env["HOME"], exist_ok=True)
    run(["ssconvert", csv_path, out], env, "ssconvert")
    with gzip.open(out) as file:
        tree = ElementTree.parse(file)
    cells = {}
    for cell in tree.getroot().iterfind(".//gnm:Sheet/gnm:Cells/gnm:Cell", GNUMERIC_NS):
        cells[(int(cell.get("Row")), int(cell.get("Col")))] = (cell.get("ValueType"), cell.text or "")
    return cells


def check_spreadsheet_sees_formulas(work):
    """The yardstick: without the neutralising prefix these cells are formulas."""
    path = os.path.join(work, "unguarded.csv")
    with open(path, "wb") as file:
        file.write("\ufeffa,b,c\r\n=1+1,@SUM(1;2),x\r\n".encode("utf-8"))
    cells = spreadsheet_cells(path, work)
    check(cells[(1, 0)][0] is None, f"unguarded =1+1 becomes a formula in ssconvert: {cells[(1, 0)]}")


def check_csv(path, work):
    with open(path, "rb") as file:
        raw = file.read()
    check(raw.startswith(b"\xef\xbb\xbf"), "the CSV begins with a UTF-8 byte-order mark")
    # Six rows, each ended by CR LF; the one other line break is inside a quoted cell.
    expect_equal((raw.count(b"\r\n"), raw.count(b"\n"), raw.endswith(b"\r\n")), (6, 7, True), "CR LF line ends")

    cells = spreadsheet_cells(path, work)
    formulas = {place: cell for place, cell in cells.items() if cell[0] is None}
    expect_equal(formulas, {}, "formula cells in the sheet")

    def row(number, width=8):
        return [cells.get((number, column), (None, ""))[1] for column in range(width)]

    def kinds(number, width=8):
        return [cells.get((number, column), ("empty", ""))[0] for column in range(width)]

    expect_equal(row(0), ["コンピューター名", "回答者", "書き込み日時", "行きたい場所は？",
                          "好きな食べ物は？（いくつでも）: カレー", "好きな食べ物は？（いくつでも）: =1+1",
                          '好きな食べ物は？（いくつでも）: 寿司, "天ぷら"', "感想を書いてください"], "header row")
    expect_equal(row(1)[:2] + row(1)[3:], ["PC01", "山田太郎", "水族館", "1", "1", "0", "<script>alert(1)</script>"],
                 "PC01's row")
    # The neutralised cells are texts, shown without the prefix.
    expect_equal(row(2)[7], "=1+1", "PC02's answer stays text")
    expect_equal(kinds(2)[7], GNUMERIC_STRING, "PC02's answer is a string")
    expect_equal((row(3)[3], kinds(3)[3]), ("+動物園", GNUMERIC_STRING), "PC03's choice stays text")
    expect_equal((row(3)[7], kinds(3)[7]), ("-2+3", GNUMERIC_STRING), "PC03's answer stays text")
    expect_equal(kinds(1)[4:7], [GNUMERIC_NUMBER] * 3, "ticks are numbers")
    expect_equal(row(4)[:2] + row(4)[3:], ["PC04", "", "", "0", "0", "0", ""], "PC04's empty row")
    expect_equal(row(5)[7], '一行目\n二行目, "引用"', "a line break and quotes inside a cell")
    expect_equal(row(5)[1], '田中 "タナカ"', "quotes inside a name")
    check((6, 0) not in cells, "one row per counted file")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sample", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screenshots", required=True)
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    os.makedirs(args.screenshots, exist_ok=True)
    run([args.sample, args.work], os.environ, "tally_report_sample")
    report = os.path.join(args.work, "class", "tally.html")
    preview = os.path.join(args.work, "preview", "tally.html")
    full = os.path.join(args.work, "full", "tally.html")
    chromium = Chromium(args.work)

    # Chromium spends most of a run starting and stopping: the runs go side by side.
    shots = (("tally_report_desktop", report, 1000, 3000), ("tally_report_phone", report, 390, 4200),
             ("tally_preview_phone", preview, 390, 1800))
    pdf = os.path.join(args.screenshots, "tally_report.pdf")
    with concurrent.futures.ThreadPoolExecutor(max_workers=3) as pool:
        report_dom = pool.submit(chromium, "file://" + report, "--dump-dom")
        preview_dom = pool.submit(chromium, "file://" + preview, "--dump-dom")
        printed = pool.submit(chromium, "file://" + full, "--no-pdf-header-footer", f"--print-to-pdf={pdf}")
        shot_runs = [pool.submit(chromium, "file://" + page, f"--screenshot={os.path.join(args.screenshots, name)}.png",
                                 f"--window-size={width},{height}") for name, page, width, height in shots]
        check_spreadsheet_sees_formulas(args.work)
        check_csv(os.path.join(args.work, "class", "tally.csv"), args.work)
        check_class_report(parse_dom(report_dom.result().decode("utf-8")))
        check_preview(parse_dom(preview_dom.result().decode("utf-8")))
        printed.result()
        check_print(pdf_pages(pdf))
        for run_of_shot, (name, _, width, height) in zip(shot_runs, shots):
            run_of_shot.result()
            expect_equal(png_size(os.path.join(args.screenshots, name + ".png")), (width, height), f"{name} size")

    if failures:
        raise SystemExit(f"{len(failures)} checks failed")
    print(f"report and spreadsheet checked ({chromium.runs} Chromium runs); screenshots in {args.screenshots}")


if __name__ == "__main__":
    main()
