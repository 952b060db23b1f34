#include "sample_reports.h"
#include "tally/report/html_escape.h"
#include "tally/report/html_report.h"
#include "tally/report/percentage.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace mirunea::tally::report;

namespace {

// Every text field of the model, so that a test can mark them all.
void forEachText(Report& report, const std::function<void(std::string&)>& visit)
{
    for (std::string* text : {&report.folderName, &report.runAt, &report.title, &report.description, &report.namePrompt,
                              &report.questionnaire.encodingVerdict})
        visit(*text);
    for (Finding& finding : report.questionnaire.findings)
        visit(finding.message);
    for (QuestionnaireLine& line : report.questionnaire.lines) {
        visit(line.text);
        visit(line.meaning);
        if (!line.asWritten.empty())
            visit(line.asWritten);
    }
    for (QuestionResult& question : report.questions) {
        visit(question.text);
        for (ChoiceCount& choice : question.choices)
            visit(choice.text);
        for (FreeTextAnswer& answer : question.freeTexts) {
            visit(answer.text);
            visit(answer.respondentName);
            visit(answer.computerName);
        }
    }
    for (Response& response : report.responses) {
        visit(response.fileName);
        visit(response.computerName);
        visit(response.respondentName);
        visit(response.writtenAt);
        for (std::size_t q = 0; q < response.answers.size(); ++q) {
            if (report.questions[q].kind == QuestionKind::FreeText) // the others show their choices' texts
                visit(response.answers[q].text);
        }
    }
    for (std::vector<FileMessage>* messages : {&report.problems, &report.notes}) {
        for (FileMessage& message : *messages) {
            if (!message.fileName.empty())
                visit(message.fileName);
            visit(message.message);
        }
    }
}

// The markup of one question's article.
std::string articleOf(const std::string& html, int slot)
{
    const std::size_t start = html.find("<article class=\"question");
    const std::string id = "id=\"q" + std::to_string(slot) + "\"";
    const std::size_t at = html.find(id, start);
    REQUIRE(at != std::string::npos);
    const std::size_t end = html.find("</article>", at);
    REQUIRE(end != std::string::npos);
    return html.substr(at, end - at);
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool contains(const std::string& haystack, const std::string& needle)
{
    return haystack.find(needle) != std::string::npos;
}

} // namespace

TEST_CASE("escapeHtml turns every markup character into a reference and keeps the rest")
{
    CHECK(escapeHtml("a&b<c>d\"e'f") == "a&amp;b&lt;c&gt;d&quot;e&#39;f");
    CHECK(escapeHtml("<script>alert(1)</script>") == "&lt;script&gt;alert(1)&lt;/script&gt;");
    CHECK(escapeHtml("&amp;") == "&amp;amp;"); // a reference typed by a pupil shows as typed
    CHECK(escapeHtml("春の遠足　ｶﾀｶﾅ") == "春の遠足　ｶﾀｶﾅ");
    CHECK(escapeHtml(std::string("a\0b", 3)) == "a&#xFFFD;b");
    CHECK(escapeHtml("") == "");
}

TEST_CASE("percentages have one decimal, rounded half up, and bars stay within their track")
{
    CHECK(percentText(3, 5) == "60.0");
    CHECK(percentText(1, 3) == "33.3");
    CHECK(percentText(2, 3) == "66.7");
    CHECK(percentText(1, 8) == "12.5");
    CHECK(percentText(1, 16) == "6.3");
    CHECK(percentText(40, 40) == "100.0");
    CHECK(percentText(0, 0) == "0.0");
    CHECK(percentText(0, 7) == "0.0");
    CHECK(perMille(1, 3) == 333);
    CHECK(perMille(0, 0) == 0);
    CHECK(perMille(9, 4) == 1000);
    CHECK(perMille(-1, 4) == 0);
}

TEST_CASE("no text of the model reaches the page as markup")
{
    Report report = mirunea::tally::report::test::hostileClassReport();
    std::vector<std::string> marked;
    forEachText(report, [&](std::string& text) {
        text = "<i id=\"m" + std::to_string(marked.size()) + "\">&'" + text;
        marked.push_back(text);
    });

    SUBCASE("with results")
    {
        const std::string html = renderHtmlReport(report);
        for (const std::string& text : marked) {
            CAPTURE(text);
            CHECK_FALSE(contains(html, text));
            if (text != report.namePrompt) // the name prompt belongs to the preview
                CHECK(contains(html, escapeHtml(text)));
        }
    }
    SUBCASE("as a preview")
    {
        report.responses.clear();
        report.problems.clear();
        const std::string html = renderHtmlReport(report);
        for (const std::string& text : marked)
            CHECK_FALSE(contains(html, text));
        CHECK(contains(html, escapeHtml(report.namePrompt)));
        CHECK(contains(html, escapeHtml(report.questions[0].choices[2].text)));
    }
}

TEST_CASE("the page is self-contained Japanese HTML that forbids scripts")
{
    const std::string html = renderHtmlReport(mirunea::tally::report::test::hostileClassReport());
    CHECK(html.rfind("<!DOCTYPE html>\n<html lang=\"ja\">", 0) == 0);
    CHECK(contains(html, "<meta charset=\"utf-8\">"));
    CHECK(contains(html, "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "));
    CHECK(contains(html, "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"));
    CHECK(contains(html, "break-inside: avoid"));
    const std::string lower = lowered(html);
    for (const char* forbidden : {"<script", "<img", "<iframe", "<link", "<object", "<embed", "src=\"http", "url("})
        CHECK_MESSAGE(!contains(lower, forbidden), forbidden);
}

TEST_CASE("each choice's count and percentage stand in the chart as text and as the bar's length")
{
    const std::string html = renderHtmlReport(mirunea::tally::report::test::hostileClassReport());

    // Each choice's count and percentage, and the first bar's length in the chart's units.
    struct Chart
    {
        const char* tag;
        int slot;
        std::string kind;
        std::vector<std::pair<int, std::string>> choices;
        std::string firstBarWidth;
    };
    const std::vector<Chart> charts{
        {"choose one", 1, "R", {{3, "60.0"}, {1, "20.0"}, {0, "0.0"}}, "600"},
        {"tick any: each choice against the respondents, not the ticks",
         2,
         "C",
         {{4, "80.0"}, {2, "40.0"}, {1, "20.0"}},
         "800"},
    };
    for (const Chart& chart : charts) {
        CAPTURE(std::string(chart.tag));
        const std::string article = articleOf(html, chart.slot);
        CHECK(contains(article, "data-kind=\"" + chart.kind + "\""));
        for (std::size_t i = 0; i < chart.choices.size(); ++i) {
            const auto& [count, percent] = chart.choices[i];
            CHECK(contains(article,
                           "data-choice=\"" + std::to_string(i + 1) + "\" data-count=\"" + std::to_string(count)
                               + "\" data-percent=\"" + percent + "\""));
        }
        CHECK(contains(article, "<rect class=\"fill\" width=\"" + chart.firstBarWidth + "\""));
    }
    const std::string q1 = articleOf(html, 1);
    CHECK(contains(q1, "<span class=\"count\">3</span> 人（<span class=\"percent\">60.0%</span>）"));
    CHECK(contains(q1, "<li class=\"bar-row no-answer\" data-count=\"1\" data-percent=\"20.0\">"));
    CHECK(contains(articleOf(html, 2), "data-respondents=\"5\""));

    // Free text: every answer with its writer, and the empty ones counted.
    const std::string q4 = articleOf(html, 4);
    CHECK(contains(q4, "data-kind=\"T\""));
    CHECK(contains(q4, "<span class=\"empty-count\" data-count=\"1\">"));
    CHECK(contains(q4, "<span class=\"text-count\" data-count=\"4\">"));
    CHECK(contains(q4,
                   "<p class=\"answer-text\">=1+1</p><p class=\"by\"><span class=\"respondent\">佐藤花子</span> "
                   "<span class=\"computer\">PC02</span>"));
    CHECK_FALSE(contains(q4, "<li class=\"bar-row"));
}

TEST_CASE("findings, lines, responses and problems are marked for what they are")
{
    const std::string html = renderHtmlReport(mirunea::tally::report::test::hostileClassReport());
    CHECK(contains(html, "<li class=\"finding error\" data-severity=\"error\" data-line=\"12\">"));
    CHECK(contains(html,
                   "<li class=\"finding note\" data-severity=\"note\" data-line=\"0\"><span class=\"severity\">"
                   "お知らせ</span> <span class=\"where\">ファイル全体</span>"));
    CHECK(contains(html, "<span class=\"finding-count error\" data-count=\"1\">"));
    CHECK(contains(html, "<tr class=\"line ignored\" data-line=\"12\" data-ignored=\"true\">"));
    CHECK(contains(html, "<tr class=\"line\" data-line=\"4\" data-ignored=\"false\">"));
    CHECK(contains(html, "<td class=\"line-number\">101–250</td>"));
    CHECK(contains(html, "<span class=\"as-written\">書かれた内容: [R]行きたい場所は？ &lt;as written&gt;</span>"));
    CHECK(contains(html, "<tr class=\"problem\" data-file=\"\"><td class=\"file\">（フォルダー全体）</td>"));
    CHECK(contains(html, "<dd class=\"counted\" data-count=\"5\">"));
    CHECK(contains(html,
                   "<tr class=\"response\" data-file=\"PC03.ans\"><td class=\"computer\">PC03</td>"
                   "<td class=\"respondent\">&lt;b&gt;鈴木&lt;/b&gt;</td><td class=\"written\">2024-05-10 10:17</td>"
                   "<td class=\"answer\" data-slot=\"1\">+動物園</td>"
                   "<td class=\"answer\" data-slot=\"2\">カレー、寿司, &quot;天ぷら&quot;</td>"));
    CHECK(contains(html, "<tr class=\"problem\" data-file=\"PC06.ans\">"));
    CHECK(contains(html, "<tr class=\"note\" data-file=\"PC05.ans\">"));
    CHECK_FALSE(contains(html, "<p class=\"preview-notice\">"));
}

TEST_CASE("before class the report previews the questionnaire as the pupils will see it")
{
    const std::string html = renderHtmlReport(mirunea::tally::report::test::previewReport());
    CHECK(contains(html, "<p class=\"preview-notice\">"));
    CHECK(contains(html, "まだ回答ファイル"));
    CHECK_FALSE(contains(html, "id=\"responses\""));
    CHECK_FALSE(contains(html, "<li class=\"bar-row"));
    CHECK(contains(html, "<span class=\"name-prompt\">名前</span>"));
    const std::string q1 = articleOf(html, 1);
    CHECK(contains(q1,
                   "<li class=\"preview-choice\" data-choice=\"2\"><span class=\"mark\">○</span> "
                   "<span class=\"label\">+動物園</span></li>"));
    CHECK(contains(articleOf(html, 2), "<span class=\"mark\">□</span> <span class=\"label\">カレー</span>"));
    CHECK(contains(articleOf(html, 4), "<div class=\"preview-field\""));

    Report noName = mirunea::tally::report::test::previewReport();
    noName.namePrompt.clear();
    CHECK(contains(renderHtmlReport(noName), "<p class=\"no-name-field\">"));
}
