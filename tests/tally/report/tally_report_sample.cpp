// Renders the sample reports for the browser and spreadsheet tests:
//   tally_report_sample FOLDER
// writes FOLDER/class/tally.html, FOLDER/class/tally.csv (a class's results)
// FOLDER/preview/tally.html (the questionnaire before class) and
// FOLDER/full/tally.html (a class of forty, ten questions) through the tool's
// own output writer.
#include "sample_reports.h"
#include "tally/report/csv_export.h"
#include "tally/report/html_report.h"
#include "tally/report/output_file.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;
using namespace mirunea::tally::report;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: tally_report_sample FOLDER\n";
        return 2;
    }
    try {
        const fs::path folder = fs::absolute(argv[1]);
        fs::create_directories(folder / "class");
        fs::create_directories(folder / "preview");
        fs::create_directories(folder / "full");

        fs::current_path(folder / "class");
        const Report results = test::hostileClassReport();
        writeOutputFile("tally.html", renderHtmlReport(results));
        writeOutputFile("tally.csv", renderCsv(results));

        fs::current_path(folder / "preview");
        writeOutputFile("tally.html", renderHtmlReport(test::previewReport()));

        fs::current_path(folder / "full");
        writeOutputFile("tally.html", renderHtmlReport(test::fullClassReport()));
    } catch (const std::exception& failure) {
        std::cerr << failure.what() << '\n';
        return 1;
    }
    return 0;
}
