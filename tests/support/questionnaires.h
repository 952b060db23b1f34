#pragma once

#include <string>
#include <vector>

// Questionnaires (data.txt lines, UTF-8 here) that several window tests open.
namespace mirunea::test {

// Panels 1 to 7; every caption carries an access key, and so do the labels
// and the items of radio group 3.
inline const std::vector<std::string> kAccessKeyQuestionnaire = {
    "給食アンケート(&L)",
    "説明(&D)",
    "氏名(&N)",
    "[T]感想(&A)",
    "[C]好きなもの(&B)",
    "A&B",
    "パン",
    "ごはん",
    "",
    "[R]天気(&C)",
    "晴れ(&S)",
    "くもり(&K)",
    "雨(&U)",
    "",
    "[R]季節(&E)",
    "春",
    "夏",
    "秋",
    "",
    "[T]その他(&F)",
    "[C]部活(&G)",
    "美術",
    "音楽",
    "",
    "[T]A&&B(&H)",
};

// One question of each kind, plain text, three choices each.
inline const std::vector<std::string> kPlainThreeKindsQuestionnaire = {
    "給食アンケート",
    "正直に答えてください",
    "氏名",
    "[R]好きな季節は？",
    "春",
    "夏",
    "冬",
    "",
    "[T]ご意見",
    "[C]クラブ",
    "美術",
    "音楽",
    "体育",
};

// One question of each kind, with "&" in captions and items.
inline const std::vector<std::string> kThreeKindsQuestionnaire = {
    "給食アンケート",
    "正直に答えてください",
    "氏名",
    "[R]好きな&季節は？",
    "春",
    "夏&秋",
    "冬",
    "",
    "[T]ご&意見",
    "[C]クラブ",
    "美術",
    "A&B",
};

} // namespace mirunea::test
