// Command-line parsing: options before or after the operands, "--" ends the
// options, "--name=value" and "--name value" alike. A word that starts with
// a minus sign followed by a digit or a point is a (negative) number, not an
// option, so "vornik -1 0 0" is refused for its value, not as an option.
#include "options.h"

#include <cctype>
#include <vector>

namespace {

bool LooksLikeNumber(const std::string& word)
{
    return word.size() > 1 && word[0] == '-' &&
           (std::isdigit(static_cast<unsigned char>(word[1])) || word[1] == '.');
}

struct ValueOption {
    const char* longName;
    char shortName;  // 0 when there is none
    std::string CliOptions::*field;
    bool CliOptions::*given;  // null when an empty value means "none"
};

const ValueOption valueOptions[] = {
    {"--elements", 'e', &CliOptions::elements, nullptr},
    {"--max-c", 0, &CliOptions::maxCarbon, &CliOptions::maxCarbonGiven},
    {"--max-fw", 0, &CliOptions::maxFormulaWeight,
     &CliOptions::maxFormulaWeightGiven},
    {"--tolerance", 0, &CliOptions::tolerance, &CliOptions::toleranceGiven},
    {"--format", 0, &CliOptions::format, &CliOptions::formatGiven},
    {"--batch", 0, &CliOptions::batch, &CliOptions::batchGiven},
};
constexpr int valueOptionCount = sizeof valueOptions / sizeof valueOptions[0];

// Switches without a value; each may be given once.
struct FlagOption {
    const char* longName;
    bool CliOptions::*field;
};

const FlagOption flagOptions[] = {
    {"--crlf", &CliOptions::crlf},
    {"--complete", &CliOptions::complete},
};

}  // namespace

std::string ParseCommandLine(int argc, char** argv, CliOptions& options)
{
    std::vector<std::string> operands;
    bool seen[valueOptionCount] = {};
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (optionsEnded || word == "-" || word.empty() || word[0] != '-' ||
            LooksLikeNumber(word)) {
            operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "-h" || word == "--help") {
            options.help = true;
            continue;
        }
        if (word == "--version") {
            options.version = true;
            continue;
        }
        bool matched = false;
        for (const FlagOption& f : flagOptions) {
            if (word != f.longName)
                continue;
            if (options.*f.field)
                return std::string("option ") + f.longName + " is given twice";
            options.*f.field = true;
            matched = true;
        }
        if (matched)
            continue;

        for (int k = 0; k < valueOptionCount && !matched; ++k) {
            const ValueOption& o = valueOptions[k];
            const std::string longName = o.longName;
            const std::string shortName =
                o.shortName ? std::string("-") + o.shortName : std::string();
            std::string value;
            bool hasValue = false;
            if (word == longName || (!shortName.empty() && word == shortName)) {
                if (i + 1 >= argc)
                    return "option " + word + " needs a value";
                value = argv[++i];
                hasValue = true;
            } else if (word.compare(0, longName.size() + 1, longName + "=") == 0) {
                value = word.substr(longName.size() + 1);
                hasValue = true;
            } else if (!shortName.empty() && word.size() > 2 &&
                       word.compare(0, 2, shortName) == 0) {
                value = word.substr(2);  // -eO,S
                hasValue = true;
            }
            if (!hasValue)
                continue;
            matched = true;
            if (seen[k])
                return std::string("option ") + o.longName + " is given twice";
            seen[k] = true;
            options.*o.field = value;
            if (o.given)
                options.*o.given = true;
        }
        if (!matched)
            return "unknown option '" + word + "'";
    }

    if (options.help || options.version)
        return "";
    if (options.batchGiven) {
        if (!operands.empty())
            return "--batch reads the percentages from its file; give no C H N"
                   " operands with it";
        return "";
    }
    if (operands.size() != 3)
        return "expected three percentages C H N, got " +
               std::to_string(operands.size());
    for (int k = 0; k < 3; ++k)
        options.percent[k] = operands[k];
    return "";
}
