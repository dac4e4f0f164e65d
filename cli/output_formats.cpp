// Output formats. Numbers in CSV and JSON are the search's doubles in their
// shortest form that reads back to the same value, so scripts get what the
// search computed, not the two decimals of the text lines.
#include "output_formats.h"

#include <charconv>
#include <cstdio>

namespace {

void Emit(OutputStream& out, const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;  // the line end is chosen below
        if (c == '\n' && out.crlf)
            bytes += '\r';
        bytes += c;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        out.failed = true;
}

std::string Number(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// A JSON string: quotes, backslashes and control characters escaped, bytes
// that are not UTF-8 replaced by U+FFFD so that the document stays valid.
std::string JsonString(const std::string& text)
{
    std::string s = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = text[i];
        if (c == '"' || c == '\\') {
            s += '\\';
            s += (char)c;
            ++i;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            s += escape;
            ++i;
        } else if (c < 0x80) {
            s += (char)c;
            ++i;
        } else {
            const int length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
            bool valid = length > 0 && i + length <= text.size() && c < 0xF5;
            for (int k = 1; valid && k < length; ++k)
                valid = ((unsigned char)text[i + k] & 0xC0) == 0x80;
            if (valid && length == 3) {  // no overlong forms or surrogates
                const unsigned char d = text[i + 1];
                valid = !(c == 0xE0 && d < 0xA0) && !(c == 0xED && d >= 0xA0);
            }
            if (valid && length == 4) {
                const unsigned char d = text[i + 1];
                valid = !(c == 0xF0 && d < 0x90) && !(c == 0xF4 && d >= 0x90);
            }
            if (valid) {
                s.append(text, i, length);
                i += length;
            } else {
                s += "\\ufffd";
                ++i;
            }
        }
    }
    return s + "\"";
}

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string s = "\"";
    for (char c : text) {
        if (c == '"')
            s += '"';
        s += c;
    }
    return s + "\"";
}

std::string JsonSettings(const OutputStream& out)
{
    std::string s = "\"settings\": {\"search\": ";
    s += out.complete ? "\"complete\"" : "\"window\"";
    s += ", \"tolerance\": " + Number(out.tolerance);
    if (!out.complete)
        s += ", \"prefilter_tolerance\": " + Number(out.prefilterTolerance);
    return s + "}";
}

std::string JsonAnalysis(const AnalysisRun& run, const std::string& indent)
{
    std::string s = indent + "\"inputs\": {\"C\": " + Number(run.percent[0]) +
                    ", \"H\": " + Number(run.percent[1]) +
                    ", \"N\": " + Number(run.percent[2]) + ", \"elements\": [";
    bool first = true;
    for (const std::string& e : run.elements) {
        if (e.empty())
            continue;
        s += (first ? "" : ", ") + JsonString(e);
        first = false;
    }
    s += "], \"max_c\": " + Number(run.maxCarbon) +
         ", \"max_fw\": " + Number(run.maxFormulaWeight) + "},\n";
    s += indent + "\"cut_short\": ";
    s += run.interrupted || !run.cutNote.empty() ? "true" : "false";
    s += ",\n" + indent + "\"formulas\": [";
    for (std::size_t i = 0; i < run.formulas.size(); ++i) {
        const FormulaRecord& r = run.formulas[i];
        s += i == 0 ? "\n" : ",\n";
        s += indent + "  {\"formula\": " + JsonString(FormulaText(r.counts)) +
             ", \"fw\": " + Number(r.formulaWeight) +
             ", \"C\": " + Number(r.percentC) + ", \"H\": " + Number(r.percentH) +
             ", \"N\": " + Number(r.percentN) +
             ", \"max_error\": " + Number(r.maxError) + "}";
    }
    s += run.formulas.empty() ? "]" : "\n" + indent + "]";
    return s;
}

}  // namespace

bool ReadOutputFormat(const std::string& text, OutputFormat& format)
{
    if (text == "text")
        format = OutputFormat::Text;
    else if (text == "csv")
        format = OutputFormat::Csv;
    else if (text == "json")
        format = OutputFormat::Json;
    else
        return false;
    return true;
}

void BeginOutput(OutputStream& out)
{
    if (out.format == OutputFormat::Csv)
        Emit(out, out.batch ? "id,formula,fw,C,H,N,max_error\n"
                            : "formula,fw,C,H,N,max_error\n");
    else if (out.format == OutputFormat::Json)
        Emit(out, "{" + JsonSettings(out) + (out.batch ? ",\n\"analyses\": [" : ",\n"));
    std::fflush(stdout);
}

void WriteAnalysis(OutputStream& out, const AnalysisRun& run,
                   const std::string& id, long long line)
{
    std::string text;
    switch (out.format) {
    case OutputFormat::Text:
        text = run.block;
        break;
    case OutputFormat::Csv:
        for (const FormulaRecord& r : run.formulas) {
            if (out.batch)
                text += CsvField(id) + ",";
            text += FormulaText(r.counts) + "," + Number(r.formulaWeight) + "," +
                    Number(r.percentC) + "," + Number(r.percentH) + "," +
                    Number(r.percentN) + "," + Number(r.maxError) + "\n";
        }
        break;
    case OutputFormat::Json:
        if (out.batch) {
            text = out.analysesWritten == 0 ? "\n" : ",\n";
            text += "  {\"line\": " + std::to_string(line) +
                    ", \"id\": " + JsonString(id) + ",\n" +
                    JsonAnalysis(run, "   ") + "}";
        } else {
            text = JsonAnalysis(run, "");
        }
        break;
    }
    Emit(out, text);
    ++out.analysesWritten;
    if (std::fflush(stdout) != 0)
        out.failed = true;
}

void NoteRefusedRow(OutputStream& out, long long line, const std::string& message)
{
    out.refusedRows.push_back({line, message});
}

bool EndOutput(OutputStream& out)
{
    if (out.format == OutputFormat::Json) {
        std::string text;
        if (out.batch) {
            text = out.analysesWritten == 0 ? "],\n" : "\n],\n";
            text += "\"refused\": [";
            for (std::size_t i = 0; i < out.refusedRows.size(); ++i)
                text += std::string(i == 0 ? "\n" : ",\n") + "  {\"line\": " +
                        std::to_string(out.refusedRows[i].first) + ", \"message\": " +
                        JsonString(out.refusedRows[i].second) + "}";
            text += out.refusedRows.empty() ? "]" : "\n]";
        }
        Emit(out, text + "}\n");
    }
    if (std::fflush(stdout) != 0)
        out.failed = true;
    return !out.failed;
}
