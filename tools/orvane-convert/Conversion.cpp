#include "tools/orvane-convert/Conversion.h"

#include <string_view>

namespace OrvaneConvert {

namespace {

bool isBlankOrComment(std::string_view line) {
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\v' && c != '\f' && c != '\r') {
            return c == '#';
        }
    }
    return true;
}

}  // namespace

ConversionReport convertLines(LineReader& lines, const ConversionSettings& settings,
                              const PoseSink& sink) {
    ConversionReport report;
    const PoseLineParser parse = infoOf(settings.format).parse;
    PoseClock clock(settings.origin, settings.period);
    PoseLine pose;
    std::string reason;
    std::string_view line;
    while (lines.next(line)) {
        bool accepted = false;
        double time = 0;
        OrvanePose converted;
        if (lines.cutShort()) {
            reason = "the line is too long (" + std::to_string(line.size()) +
                     " bytes or more), not a pose";
        } else if (isBlankOrComment(line)) {
            continue;
        } else {
            accepted = parse(line, pose, reason) &&
                       clock.timeOf(pose, lines.lineNumber(), time, reason) &&
                       worldToBody(time, pose.camera, converted, reason);
        }
        if (!accepted) {
            if (report.refused.size() < ConversionReport::kReportedRefusals) {
                report.refused.push_back({lines.lineNumber(), reason});
            }
            ++report.refusedLines;
            continue;
        }
        if (report.refusedLines > 0) {
            continue;
        }
        if (!sink(converted)) {
            report.sinkFailed = true;
            return report;
        }
        ++report.poses;
    }
    report.readError = lines.readError();
    return report;
}

}  // namespace OrvaneConvert
