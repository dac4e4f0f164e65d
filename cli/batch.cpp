// Batch files. Columns are named by the header row in any order and any
// case: C, H and N are required, id, elements, max_c and max_fw optional.
// Fields follow RFC 4180 (double quotes around a field that holds a comma,
// doubled quotes inside); blank lines are skipped. A row that cannot be
// searched is reported on stderr with its line number and skipped.
#include "batch.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

namespace {


enum Column { ColumnC, ColumnH, ColumnN, ColumnId, ColumnElements,
              ColumnMaxC, ColumnMaxFW, ColumnCount };
const char* const columnNames[ColumnCount] = {"c", "h", "n", "id", "elements",
                                              "max_c", "max_fw"};

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Splits one line into fields. Returns an empty string, or what is wrong.
std::string SplitFields(const std::string& line, std::vector<std::string>& fields)
{
    fields.clear();
    std::size_t at = 0;
    while (true) {
        std::string field;
        std::size_t next = at;
        while (next < line.size() && (line[next] == ' ' || line[next] == '\t'))
            ++next;
        if (next < line.size() && line[next] == '"') {
            ++next;
            while (true) {
                if (next >= line.size())
                    return "a quoted field is not closed";
                if (line[next] == '"') {
                    if (next + 1 < line.size() && line[next + 1] == '"') {
                        field += '"';
                        next += 2;
                        continue;
                    }
                    ++next;
                    break;
                }
                field += line[next++];
            }
            while (next < line.size() && (line[next] == ' ' || line[next] == '\t'))
                ++next;
            if (next < line.size() && line[next] != ',')
                return "text follows a closing quote";
        } else {
            const std::size_t comma = line.find(',', at);
            next = comma == std::string::npos ? line.size() : comma;
            field = Trimmed(line.substr(at, next - at));
            if (field.find('"') != std::string::npos)
                return "a quote inside an unquoted field";
        }
        fields.push_back(field);
        if (next >= line.size())
            return "";
        at = next + 1;  // past the comma
    }
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Maps each column to its field; -1 for a column the file lacks.
std::string ReadHeader(const std::vector<std::string>& fields, int* position)
{
    for (int k = 0; k < ColumnCount; ++k)
        position[k] = -1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string name = Lower(fields[i]);
        int column = -1;
        for (int k = 0; k < ColumnCount; ++k)
            if (name == columnNames[k])
                column = k;
        if (column < 0)
            return "unknown column " + Quoted(fields[i]) +
                   " in the header row; the columns are C, H, N and, if wanted,"
                   " id, elements, max_c, max_fw";
        if (position[column] >= 0)
            return "column " + Quoted(fields[i]) + " is named twice";
        position[column] = (int)i;
    }
    for (int k = ColumnC; k <= ColumnN; ++k)
        if (position[k] < 0)
            return std::string("the header row names no column ") +
                   (k == ColumnC ? "C" : k == ColumnH ? "H" : "N") +
                   "; it needs C, H and N";
    return "";
}

// "O S", "O;S" and "O,S" (quoted in the file) all list O and S.
std::string ElementList(const std::string& cell)
{
    std::string list, name;
    for (std::size_t i = 0; i <= cell.size(); ++i) {
        const char c = i < cell.size() ? cell[i] : ',';
        if (c == ',' || c == ';' || c == ' ' || c == '\t') {
            if (!name.empty())
                list += (list.empty() ? "" : ",") + name;
            name.clear();
        } else {
            name += c;
        }
    }
    return list;
}

}  // namespace

int RunBatch(const std::string& path, const AnalysisTexts& defaults,
             bool complete, OutputStream& out)
{
    const bool fromStdin = path == "-";
    const std::string where = fromStdin ? "standard input" : path;
    std::ifstream file;
    if (!fromStdin) {
        file.open(path, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "vornik: cannot open the batch file %s\n",
                         Quoted(path).c_str());
            return ExitRefused;
        }
    }
    std::istream& input = fromStdin ? std::cin : file;

    std::string line;
    std::vector<std::string> fields;
    int position[ColumnCount];
    long long lineNumber = 0;
    std::size_t columnsNamed = 0;
    bool haveHeader = false, refused = false, found = false;
    auto refuseRow = [&](const std::string& message) {
        std::fprintf(stderr, "vornik: %s:%lld: %s\n", where.c_str(), lineNumber,
                     message.c_str());
        NoteRefusedRow(out, lineNumber, message);
        refused = true;
    };

    while (std::getline(input, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);  // a UTF-8 byte-order mark
        if (Trimmed(line).empty())
            continue;
        std::string problem = SplitFields(line, fields);
        if (!haveHeader) {
            if (problem.empty())
                problem = ReadHeader(fields, position);
            if (!problem.empty()) {
                std::fprintf(stderr, "vornik: %s:%lld: %s\n", where.c_str(),
                             lineNumber, problem.c_str());
                return ExitRefused;
            }
            haveHeader = true;
            columnsNamed = fields.size();
            BeginOutput(out);
            continue;
        }
        if (problem.empty() && fields.size() != columnsNamed)
            problem = "the row has " + std::to_string(fields.size()) +
                      " fields; the header row names " +
                      std::to_string(columnsNamed) + " columns";
        if (!problem.empty()) {
            refuseRow(problem);
            continue;
        }

        AnalysisTexts texts = defaults;
        texts.percent[0] = fields[position[ColumnC]];
        texts.percent[1] = fields[position[ColumnH]];
        texts.percent[2] = fields[position[ColumnN]];
        auto cell = [&](Column c) {
            return position[c] >= 0 ? fields[position[c]] : std::string();
        };
        if (!cell(ColumnElements).empty()) {
            texts.elements = ElementList(cell(ColumnElements));
            texts.elementsName = "column elements";
        }
        if (!cell(ColumnMaxC).empty()) {
            texts.maxCarbon = cell(ColumnMaxC);
            texts.maxCarbonName = "max_c";
        }
        if (!cell(ColumnMaxFW).empty()) {
            texts.maxFormulaWeight = cell(ColumnMaxFW);
            texts.maxFormulaWeightName = "max_fw";
        }
        const std::string id =
            position[ColumnId] >= 0 ? cell(ColumnId) : std::to_string(lineNumber);

        AnalysisRun run;
        problem = RunAnalysis(texts, complete, run);
        if (!problem.empty()) {
            refuseRow(problem);
            continue;
        }
        WriteAnalysis(out, run, id, lineNumber);
        found = found || !run.formulas.empty();
        if (!run.cutNote.empty())
            std::fprintf(stderr, "vornik: %s:%lld: %s\n", where.c_str(), lineNumber,
                         run.cutNote.c_str());
        if (run.interrupted) {
            std::fprintf(stderr, "vornik: interrupted at %s line %lld; the rows "
                         "after it were not searched\n", where.c_str(), lineNumber);
            break;
        }
        if (out.failed)
            break;
    }
    if (input.bad()) {
        std::fprintf(stderr, "vornik: cannot read %s\n", Quoted(where).c_str());
        return ExitRefused;
    }
    if (!haveHeader) {
        std::fprintf(stderr, "vornik: %s is empty; it needs a header row naming "
                     "the columns C, H and N\n", where.c_str());
        return ExitRefused;
    }
    if (!EndOutput(out)) {
        std::perror("vornik: cannot write the results");
        return ExitRefused;
    }
    return refused ? ExitRefused : found ? ExitFound : ExitNotFound;
}
