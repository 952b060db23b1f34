#include "tally/run/command_line.h"

namespace mirunea::tally {

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    bool folderGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help" || argument == "-h" || argument == "/?")) {
            line.help = true;
        } else if (!optionsEnded && argument == "--version") {
            line.version = true;
        } else if (!optionsEnded && argument == "--fix-encoding") {
            line.fixEncoding = true;
        } else if (!optionsEnded && argument == "--open") {
            line.open = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            line.error = "知らないオプションです: " + argument;
        } else if (folderGiven) {
            line.error = "フォルダーは一つだけ指定してください: " + argument;
        } else if (argument.empty()) {
            line.error = "フォルダーの名前が空です";
        } else {
            line.folder = argument;
            folderGiven = true;
        }
        if (!line.error.empty())
            return line;
    }
    return line;
}

std::string usageText()
{
    return "使い方: mirunea-tally [--fix-encoding] [--open] [フォルダー]\n"
           "\n"
           "アンケートのフォルダー（省略すると今のフォルダー）の data.txt を確かめ、\n"
           "*.ans の回答を集計して、同じフォルダーに次の二つを書きます。\n"
           "  tally.html  報告（ブラウザーで開きます）\n"
           "  tally.csv   回答の一覧（Excel などで開きます）\n"
           "授業の前に実行すると、data.txt がどう表示されるかを確かめられます。\n"
           "Windows では、フォルダーを mirunea-tally.exe のアイコンにドロップするか、\n"
           "フォルダーの中に置いた mirunea-tally.exe をダブルクリックしても実行でき、\n"
           "報告をブラウザーで開いて、キーが押されるまで待ちます。\n"
           "\n"
           "  --fix-encoding  UTF-8 や UTF-16 で保存された data.txt を Shift-JIS に直します\n"
           "                  （元のファイルは data.txt.orig として残します）\n"
           "  --open          書いた tally.html をブラウザーで開きます\n"
           "  --help          この説明を表示します\n"
           "  --version       版を表示します\n"
           "\n"
           "終了コード: 0 問題なし（警告と注意だけ）、1 data.txt の誤りか集計できない回答ファイルがある、\n"
           "            2 実行できなかった（data.txt がない、フォルダーが読めない、書けない）\n";
}

} // namespace mirunea::tally
