#include "match/html_report.h"

namespace lpgm::match {

std::string HtmlReport(const MatchReport& report) {
  return "<!DOCTYPE html><html><body><p>" + SummaryLine(report) +
         "</p></body></html>\n";
}

}  // namespace lpgm::match
