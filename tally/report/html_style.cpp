#include "tally/report/html_sections.h"

namespace mirunea::tally::report::html {

// Fluid from a phone's 320 px up; on paper each question stays on one page.
// Japanese fonts first as the school's PCs and phones have them.
std::string_view style()
{
    return R"(:root { --ink: #1d2330; --muted: #5b6475; --line: #d7dce5; --bar: #2f6fd0; --track: #e8edf5;
  --error: #b3261e; --warning: #8a5a00; --note: #2b5c8a; }
* { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; text-size-adjust: 100%; }
body { margin: 0 auto; max-width: 60rem; padding: 1rem; color: var(--ink); background: #fff; line-height: 1.6;
  font-family: "Yu Gothic UI", "Meiryo", "Hiragino Sans", "Noto Sans CJK JP", "IPAPGothic", sans-serif;
  overflow-wrap: anywhere; }
h1 { font-size: 1.6rem; margin: 0.2rem 0 0.4rem; }
h2 { font-size: 1.25rem; margin: 2rem 0 0.6rem; padding-bottom: 0.2rem; border-bottom: 2px solid var(--line); }
h3 { font-size: 1.05rem; margin: 0 0 0.5rem; }
.kicker { margin: 0; color: var(--muted); font-size: 0.85rem; }
.description { margin: 0 0 0.6rem; white-space: pre-wrap; }
.run { display: grid; grid-template-columns: max-content 1fr; gap: 0.1rem 0.8rem; margin: 0.5rem 0; font-size: 0.9rem; }
.run dt { color: var(--muted); }
.run dd { margin: 0; }
nav { display: flex; flex-wrap: wrap; gap: 0.4rem 1rem; font-size: 0.9rem; margin: 0.6rem 0; }
nav a { color: var(--bar); }
.preview-notice { border-left: 4px solid var(--note); background: #eef4fb; padding: 0.6rem 0.8rem; }
.encoding.bad { color: var(--error); font-weight: bold; }
.finding-counts { display: flex; flex-wrap: wrap; gap: 0.3rem 1rem; }
.findings { list-style: none; padding: 0; }
.finding { border-left: 4px solid var(--note); padding: 0.3rem 0.6rem; margin: 0.3rem 0; background: #f6f8fb;
  break-inside: avoid; }
.finding.error { border-color: var(--error); }
.finding.warning { border-color: var(--warning); }
.severity { font-weight: bold; }
.finding.error .severity, .finding-count.error { color: var(--error); }
.finding.warning .severity, .finding-count.warning { color: var(--warning); }
.where { color: var(--muted); }
.scroll { overflow-x: auto; }
table { border-collapse: collapse; width: 100%; font-size: 0.9rem; }
th, td { border: 1px solid var(--line); padding: 0.25rem 0.4rem; text-align: left; vertical-align: top; }
thead th { background: #f1f4f8; }
tr { break-inside: avoid; }
.line-number { text-align: right; color: var(--muted); white-space: nowrap; }
.written, .computer, .file { white-space: nowrap; }
.responses td.respondent { min-width: 5em; }
.responses th[data-slot], .responses td.answer { min-width: 7em; }
.line-text, .answer, .answer-text, .label { white-space: pre-wrap; }
.as-written { display: block; color: var(--muted); font-size: 0.85rem; }
tr.ignored { color: var(--muted); background: #fafafa; }
tr.ignored .line-text { text-decoration: line-through; }
.ignored-mark { color: var(--error); white-space: nowrap; }
.question { border: 1px solid var(--line); border-radius: 6px; padding: 0.8rem; margin: 0.8rem 0;
  break-inside: avoid; page-break-inside: avoid; }
.slot { color: var(--muted); }
.kind { display: inline-block; font-size: 0.75rem; font-weight: normal; border: 1px solid var(--muted);
  border-radius: 3px; padding: 0 0.3rem; vertical-align: 0.1rem; }
.base { color: var(--muted); font-size: 0.9rem; margin: 0 0 0.4rem; }
.chart { list-style: none; padding: 0; margin: 0; }
.bar-row { display: grid; grid-template-columns: 1fr auto; gap: 0 0.6rem; margin: 0.35rem 0; }
.bar-row .figures { white-space: nowrap; font-variant-numeric: tabular-nums; }
.bar-row .bar { grid-column: 1 / -1; width: 100%; height: 0.8rem; display: block; }
.bar .track { fill: var(--track); }
.bar .fill { fill: var(--bar); }
.bar-row.no-answer .label { color: var(--muted); }
.bar-row.no-answer .fill { fill: #8a93a3; }
.free-texts { list-style: none; padding: 0; margin: 0; }
.free-text { border-bottom: 1px dashed var(--line); padding: 0.3rem 0; break-inside: avoid; }
.free-text p { margin: 0; }
.by { color: var(--muted); font-size: 0.85rem; }
.by .computer::before { content: "／"; }
.column-question { display: block; font-weight: normal; font-size: 0.8rem; color: var(--muted); }
.none { color: var(--muted); }
.sheet-top { margin: 0.5rem 0; }
.preview-choices { list-style: none; padding: 0; margin: 0; }
.preview-choice { margin: 0.2rem 0; }
.preview-choice .mark { color: var(--muted); }
.preview-field { border: 1px solid var(--muted); border-radius: 3px; height: 1.8rem; max-width: 24rem; background: #fff; }
.preview-field.inline { display: inline-block; width: 12rem; height: 1.4rem; vertical-align: middle; }
@media (max-width: 480px) {
  body { padding: 0.6rem; }
  h1 { font-size: 1.35rem; }
  .run { grid-template-columns: 1fr; }
}
@page { size: A4; margin: 15mm 12mm; }
@page wide { size: A4 landscape; margin: 12mm; }
@media print {
  body { max-width: none; padding: 0; font-size: 10.5pt; }
  nav { display: none; }
  .scroll { overflow: visible; }
  #responses { page: wide; }
  .responses { font-size: 8pt; }
  .question { padding: 0.5rem 0.7rem; margin: 0.5rem 0; }
  .bar-row { margin: 0.2rem 0; }
  h2, h3 { break-after: avoid; }
  .question, .finding, tr { break-inside: avoid; page-break-inside: avoid; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
)";
}

} // namespace mirunea::tally::report::html
