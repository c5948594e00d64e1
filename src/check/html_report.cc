// A minimal page: the verdict and the findings as a list. The full report
// with charts replaces this writer.
#include "check/html_report.h"

#include <string_view>

#include "check/text_report.h"

namespace lpgm::check {
namespace {

void Escaped(std::ostream& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out << "&amp;";
        break;
      case '<':
        out << "&lt;";
        break;
      case '>':
        out << "&gt;";
        break;
      case '"':
        out << "&quot;";
        break;
      default:
        out << c;
    }
  }
}

}  // namespace

void WriteHtmlReport(const CheckResult& result, std::ostream& out) {
  out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
         "<title>lpgm-check: ";
  Escaped(out, result.definition);
  out << "</title></head><body>\n<h1>lpgm-check: ";
  Escaped(out, result.definition);
  out << "</h1>\n<p>Exit status " << ExitStatusOf(result) << ", "
      << result.findings.size() << " findings.</p>\n<ul>\n";
  for (const Finding& f : result.findings) {
    out << "<li>" << SeverityName(f.severity) << " ";
    Escaped(out, f.id);
    out << ": ";
    Escaped(out, FindingPlace(f));
    out << " ";
    Escaped(out, f.message);
    out << "</li>\n";
  }
  out << "</ul>\n</body></html>\n";
}

}  // namespace lpgm::check
