#include "case_table.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

// A double-quoted string with C escapes; advances pos past it.
std::string ReadQuoted(const std::string& line, size_t& pos)
{
    std::string text;
    ++pos; // opening quote
    while (pos < line.size() && line[pos] != '"') {
        char c = line[pos++];
        if (c != '\\') {
            text += c;
            continue;
        }
        if (pos >= line.size())
            break;
        char e = line[pos++];
        switch (e) {
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'r': text += '\r'; break;
        case 'v': text += '\v'; break;
        case 'f': text += '\f'; break;
        case 'x':
            text += static_cast<char>(std::stoi(line.substr(pos, 2), nullptr, 16));
            pos += 2;
            break;
        default: text += e; break;
        }
    }
    if (pos >= line.size())
        throw std::runtime_error("unterminated string");
    ++pos; // closing quote
    return text;
}

std::string Repeat(const std::string& text, size_t times)
{
    std::string repeated;
    repeated.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// Splits a line into bare words and quoted strings.
std::vector<std::string> Tokens(const std::string& line, bool& firstQuoted)
{
    std::vector<std::string> tokens;
    size_t pos = 0;
    firstQuoted = false;
    while (pos < line.size()) {
        if (line[pos] == ' ' || line[pos] == '\t') {
            ++pos;
        } else if (line[pos] == '"') {
            firstQuoted = firstQuoted || tokens.empty();
            tokens.push_back(ReadQuoted(line, pos));
        } else {
            size_t end = line.find_first_of(" \t", pos);
            std::string word = line.substr(pos, end == std::string::npos ? end : end - pos);
            pos = end == std::string::npos ? line.size() : end;
            if (word[0] == '*' && !tokens.empty()) // "text" *N: the text N times
                tokens.back() = Repeat(tokens.back(), std::stoul(word.substr(1)));
            else
                tokens.push_back(word);
        }
    }
    return tokens;
}

std::string Join(const std::vector<std::string>& parts, size_t from)
{
    std::string text;
    for (size_t i = from; i < parts.size(); ++i)
        text += parts[i];
    return text;
}

Stream ParseStream(const std::string& word)
{
    if (word == "full")
        return Stream::Full;
    if (word == "closed")
        return Stream::Closed;
    throw std::runtime_error("a stream goes to 'full' or 'closed'");
}

// Expected bytes kept in a file of their own, named relative to the table.
std::string ReadBeside(const char* table, const std::string& name)
{
    std::string path = table;
    size_t slash = path.find_last_of('/');
    path = (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A case's name is a test's name: letters and digits, and no other case's.
void CheckName(const std::string& name, const std::vector<Case>& cases)
{
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](unsigned char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        }))
        throw std::runtime_error("the case name '" + name +
                                 "' may hold only letters and digits: it is a test's name");
    for (const Case& other : cases)
        if (other.name == name)
            throw std::runtime_error("the case name '" + name + "' is taken by the case on line " +
                                     std::to_string(other.line));
}

Case Failed(const std::string& name, const std::string& why)
{
    Case c;
    c.name = name;
    c.tableError = why;
    return c;
}

} // namespace

std::vector<Case> LoadCases(const char* path)
{
    std::vector<Case> cases;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {Failed("CaseTableMissing", std::string("cannot read ") + path)};
    std::string line, directive;
    int number = 0;
    try {
        while (std::getline(in, line)) {
            ++number;
            size_t first = line.find_first_not_of(" \t");
            if (first == std::string::npos || line[first] == '#')
                continue;
            bool continuation = false;
            std::vector<std::string> tokens = Tokens(line, continuation);
            if (!continuation) {
                directive = tokens[0];
                tokens.erase(tokens.begin());
            }
            if (directive == "case") {
                if (continuation || tokens.size() != 1)
                    throw std::runtime_error("case takes one name");
                CheckName(tokens[0], cases);
                cases.emplace_back();
                cases.back().name = tokens[0];
                cases.back().line = number;
                continue;
            }
            if (cases.empty())
                throw std::runtime_error("'" + directive + "' before the first case");
            Case& c = cases.back();
            if (directive == "args")
                c.args.insert(c.args.end(), tokens.begin(), tokens.end());
            else if (directive == "config")
                c.config += Join(tokens, 0);
            else if (directive == "stdout")
                c.stdoutText += Join(tokens, 0);
            else if (directive == "stdout-file" && tokens.size() == 1)
                c.stdoutText += ReadBeside(path, tokens[0]);
            else if (directive == "stderr")
                c.stderrText += Join(tokens, 0);
            else if (directive == "file" && !continuation && !tokens.empty())
                c.files.emplace_back(tokens[0], Join(tokens, 1));
            else if (directive == "file")
                c.files.back().second += Join(tokens, 0);
            else if (directive == "sparse-file" && tokens.size() == 2)
                c.sparseFiles.emplace_back(tokens[0], std::stoull(tokens[1]));
            else if (directive == "fifo" && tokens.size() == 1)
                c.fifos.push_back(tokens[0]);
            else if (directive == "env" && tokens.size() == 2)
                c.env.emplace_back(tokens[0], tokens[1]);
            else if (directive == "stdout-to" && tokens.size() == 1)
                c.stdoutTo = ParseStream(tokens[0]);
            else if (directive == "stderr-to" && tokens.size() == 1)
                c.stderrTo = ParseStream(tokens[0]);
            else if (directive == "many-args" && tokens.size() == 2)
                c.args.insert(c.args.end(), std::stoul(tokens[0]), tokens[1]);
            else if (directive == "only" && tokens.size() == 1)
                c.onlyOn = tokens[0];
            else if (directive == "valgrind" && tokens.empty())
                c.underValgrind = true;
            else if (directive == "exit" && tokens.size() == 1)
                c.exit = std::stoi(tokens[0]);
            else
                throw std::runtime_error("cannot read '" + directive + "' here");
        }
    } catch (const std::exception& error) {
        return {Failed("CaseTableError",
                       std::string(path) + ":" + std::to_string(number) + ": " + error.what())};
    }
    return cases;
}
