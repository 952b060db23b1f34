"""What the package tests give the unpacked teacher's tool: a class folder filled as the sheet
fills it for the sample questionnaire, and an opener that records what it was asked to open."""

import os
import stat

# The sample questionnaire's questions (examples/data.txt): kind and number of choices.
SAMPLE_QUESTIONS = [("R", 5), ("C", 5), ("T", 0), ("R", 3), ("C", 4), ("R", 4), ("T", 0)]
# Computer, respondent, the choice ticked in every question with choices, the free text.
CLASS = [("PC01", "山田太郎", 0, "運動会"), ("PC02", "佐藤花子", 1, "合唱"), ("PC03", "鈴木一郎", 0, "遠足")]
COUNTED = "集計 %d 件" % len(CLASS)  # how the tool's summary counts them


def answer_file(computer, name, choice, text):
    """An answer file's bytes as the sheet writes them (Shift-JIS, CR LF)."""
    lines = [computer, name]
    for slot, (kind, choices) in enumerate(SAMPLE_QUESTIONS, start=1):
        lines.append("[Q%d%s]" % (slot, kind))
        if kind == "T":
            lines.append(text)
        else:
            lines += ["1" if i == choice else "0" for i in range(choices)]
    lines.append("[END]")
    return "".join(line + "\r\n" for line in lines).encode("cp932")


def fill_class_folder(folder, questionnaire):
    """data.txt (the bytes given) and one answer file per PC of CLASS; returns the names."""
    os.makedirs(folder)
    with open(os.path.join(folder, "data.txt"), "wb") as f:
        f.write(questionnaire)
    for computer, name, choice, text in CLASS:
        with open(os.path.join(folder, computer + ".ans"), "wb") as f:
            f.write(answer_file(computer, name, choice, text))
    return ["data.txt"] + [computer + ".ans" for computer, _, _, _ in CLASS]


def recording_xdg_open(bin_folder, record):
    """An xdg-open in bin_folder (to go first on PATH) that appends its arguments to record."""
    os.makedirs(bin_folder)
    path = os.path.join(bin_folder, "xdg-open")
    with open(path, "w") as f:
        f.write('#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\n' % record)
    os.chmod(path, stat.S_IRWXU)


def recorded(record):
    """The arguments each call of the recording xdg-open got, one string a call."""
    if not os.path.exists(record):
        return []
    with open(record) as f:
        return f.read().splitlines()
