#include "sample_reports.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace mirunea::tally::report::test {

namespace {

AnswerCell chosen(int index)
{
    AnswerCell cell;
    cell.chosen = index;
    return cell;
}

AnswerCell ticked(std::vector<bool> flags)
{
    AnswerCell cell;
    cell.ticked = std::move(flags);
    return cell;
}

AnswerCell typed(std::string text)
{
    AnswerCell cell;
    cell.text = std::move(text);
    return cell;
}

QuestionnaireLine lineOf(int number, std::string text, std::string meaning, bool ignored, int lastNumber = 0)
{
    QuestionnaireLine line;
    line.lineNumber = number;
    line.text = std::move(text);
    line.meaning = std::move(meaning);
    line.ignored = ignored;
    line.lastLineNumber = lastNumber;
    return line;
}

// A question of the report, its choices not yet counted.
QuestionResult question(int slot, QuestionKind kind, std::string text, const std::vector<std::string>& choices = {})
{
    QuestionResult question;
    question.slot = slot;
    question.kind = kind;
    question.text = std::move(text);
    for (const std::string& choice : choices)
        question.choices.push_back({choice, 0});
    return question;
}

// A report's head: the folder and time of the run, the questionnaire's texts,
// and a data.txt in Shift-JIS.
Report headedReport(std::string folderName, std::string runAt, std::string title, std::string description)
{
    Report report;
    report.folderName = std::move(folderName);
    report.runAt = std::move(runAt);
    report.title = std::move(title);
    report.description = std::move(description);
    report.namePrompt = "名前";
    report.questionnaire.encodingVerdict = "Shift-JIS（このままで正しく表示されます）";
    return report;
}

// The questionnaire both reports share, with the checker's view of it.
Report questionnaireOnly()
{
    Report report = headedReport("/srv/アンケート/<b>2年1組</b>", "2024-05-10 15:30",
                                 "春の遠足アンケート <script>alert(1)</script>",
                                 "正直に答えてください & \"ありがとう\"");
    report.questionnaire.encodingOk = true;
    report.questionnaire.findings = {
        {Severity::Error, 12, "「［Ｒ］」は全角の括弧です。設問の印は半角の「[R]」です。この行は無視されます。"},
        {Severity::Warning, 5, "選択肢「<img src=x onerror=alert(1)>」の「&」…… は幅が足りず途中で切れます。"},
        {Severity::Note, 0, "設問は 3 つです。"},
    };
    report.questionnaire.lines = {
        lineOf(1, report.title, "タイトル", false),
        lineOf(2, report.description, "説明", false),
        lineOf(3, "名前", "名前の欄の見出し", false),
        lineOf(4, "[R]行きたい場所は？", "設問 1（択一）", false),
        lineOf(5, "水族館", "設問 1 の選択肢 1", false),
        lineOf(6, "+動物園", "設問 1 の選択肢 2", false),
        lineOf(7, "<img src=x onerror=alert(1)>", "設問 1 の選択肢 3", false),
        lineOf(8, "", "選択肢の終わり", false),
        lineOf(9, "[C]好きな食べ物は？（いくつでも）", "設問 2（複数選択）", false),
        lineOf(10, "カレー", "設問 2 の選択肢 1", false),
        lineOf(11, "=1+1", "設問 2 の選択肢 2", false),
        lineOf(12, "［Ｒ］寿司, 天ぷら", "無視されます: 全角の括弧", true),
        lineOf(101, "<u>101 行目から先</u>", "無視されます: 100 行を超えた行", true, 250),
    };
    report.questionnaire.lines[3].asWritten = "[R]行きたい場所は？ <as written>";

    report.questions = {
        question(1, QuestionKind::SingleChoice, "行きたい場所は？",
                 {"水族館", "+動物園", "<img src=x onerror=alert(1)>"}),
        question(2, QuestionKind::MultipleChoice, "好きな食べ物は？（いくつでも）",
                 {"カレー", "=1+1", "寿司, \"天ぷら\""}),
        question(4, QuestionKind::FreeText, "感想を書いてください"),
    };
    return report;
}

// A choice question's counts: of each choice in order, then of those who chose none.
void setCounts(QuestionResult& question, int respondents, const std::vector<int>& choiceCounts, int noAnswer)
{
    question.respondents = respondents;
    for (std::size_t i = 0; i < choiceCounts.size(); ++i)
        question.choices.at(i).count = choiceCounts[i];
    question.noAnswer = noAnswer;
}

} // namespace

Report hostileClassReport()
{
    Report report = questionnaireOnly();
    setCounts(report.questions[0], 5, {3, 1, 0}, 1);
    setCounts(report.questions[1], 5, {4, 2, 1}, 1);

    QuestionResult& comment = report.questions[2];
    comment.respondents = 5;
    comment.freeTexts = {
        {"<script>alert(1)</script>", "山田太郎", "PC01"},
        {"=1+1", "佐藤花子", "PC02"},
        {"-2+3", "<b>鈴木</b>", "PC03"},
        {"一行目\n二行目, \"引用\"", "田中 \"タナカ\"", "PC05"},
    };
    comment.emptyTexts = 1;

    report.responses = {
        {"PC01.ans",
         "PC01",
         "山田太郎",
         "2024-05-10 10:15",
         {chosen(0), ticked({true, true, false}), typed("<script>alert(1)</script>")}},
        {"PC02.ans", "PC02", "佐藤花子", "2024-05-10 10:16", {chosen(0), ticked({true, false, false}), typed("=1+1")}},
        {"PC03.ans",
         "PC03",
         "<b>鈴木</b>",
         "2024-05-10 10:17",
         {chosen(1), ticked({true, false, true}), typed("-2+3")}},
        {"PC04.ans", "PC04", "", "2024-05-10 10:18", {AnswerCell{}, ticked({false, false, false}), typed("")}},
        {"PC05.ans",
         "PC05",
         "田中 \"タナカ\"",
         "2024-05-10 10:19",
         {chosen(0), ticked({true, true, false}), typed("一行目\n二行目, \"引用\"")}},
    };
    report.problems = {
        {"PC06.ans", "[END] の行がありません。送信が途中で止まったおそれがあります。"},
        {"<img src=x onerror=alert(1)>.ans", "回答ファイルではありません。"},
        {"", "ファイルが多すぎます。"},
    };
    report.notes = {
        {"PC05.ans", "data.txt より古いファイルです。"},
    };
    return report;
}

Report fullClassReport()
{
    constexpr int kPupils = 40;
    const std::vector<std::string> kFiveChoices = {"とても当てはまる", "当てはまる", "どちらでもない", "当てはまらない",
                                                   "まったく当てはまらない"};
    const int kChoices = static_cast<int>(kFiveChoices.size());
    const QuestionKind kinds[] = {QuestionKind::SingleChoice, QuestionKind::MultipleChoice, QuestionKind::FreeText};
    Report report = headedReport("/srv/アンケート/3年2組", "2024-06-01 12:00", "学校生活アンケート",
                                 "当てはまるものを選んでください。");
    for (int slot = 1; slot <= 10; ++slot) {
        const QuestionKind kind = kinds[(slot - 1) % 3];
        QuestionResult& added = report.questions.emplace_back(
            question(slot, kind, "設問 " + std::to_string(slot) + " について、いちばん近いものを選んでください",
                     kind == QuestionKind::FreeText ? std::vector<std::string>{} : kFiveChoices));
        added.respondents = kPupils;
    }
    for (int pupil = 1; pupil <= kPupils; ++pupil) {
        const std::string computer = (pupil < 10 ? "PC0" : "PC") + std::to_string(pupil);
        Response response{computer + ".ans", computer, "生徒 " + std::to_string(pupil), "2024-06-01 10:30", {}};
        for (QuestionResult& question : report.questions) {
            AnswerCell answer;
            const int pick = (pupil * 7 + question.slot * 3) % (kChoices + 1); // kChoices: none
            if (question.kind == QuestionKind::SingleChoice && pick < kChoices) {
                answer.chosen = pick;
                ++question.choices[static_cast<std::size_t>(pick)].count;
            } else if (question.kind == QuestionKind::SingleChoice) {
                ++question.noAnswer;
            } else if (question.kind == QuestionKind::MultipleChoice) {
                for (int choice = 0; choice < kChoices; ++choice) {
                    answer.ticked.push_back((pupil + choice * question.slot) % 3 == 0);
                    question.choices[static_cast<std::size_t>(choice)].count += answer.ticked.back() ? 1 : 0;
                }
                if (std::find(answer.ticked.begin(), answer.ticked.end(), true) == answer.ticked.end())
                    ++question.noAnswer;
            } else if (pupil % 3 == 1) {
                answer.text = "楽しかったです。" + std::string(static_cast<std::size_t>(pupil % 5) * 3, '!');
                question.freeTexts.push_back({answer.text, response.respondentName, computer});
            } else {
                ++question.emptyTexts;
            }
            response.answers.push_back(answer);
        }
        report.responses.push_back(response);
    }
    return report;
}

Report previewReport()
{
    return questionnaireOnly();
}

} // namespace mirunea::tally::report::test
