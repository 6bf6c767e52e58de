#include "compare_tool.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

#include "clipboard_text.h"
#include "count_text.h"
#include "csv_text.h"
#include "mapped_file.h"
#include "memory_advice.h"
#include "parallel.h"
#include "record_reader.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#define SORVANE_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define SORVANE_PROCESS_ID ::getpid()
#endif

#ifndef SORVANE_VERSION
#define SORVANE_VERSION "unknown"
#endif

namespace sorvane::app {
namespace {

using core::RecordList;
using core::TextBuffer;

constexpr std::string_view kHelp =
    R"(Usage: sorvane-compare [options] LIST1 LIST2
Compares two lists of records copied from a spreadsheet, as Sorvane's Compare button does: each
record of LIST1, in order, is paired with the first record of LIST2 not yet paired that agrees
with it on every comparison row. LIST1 or LIST2 may be - for standard input.

  -c, --columns A:B   a comparison row: column A of List 1 with column B of List 2
                      (1-based; up to four, in the order given)
  -o, --out DIR       where the four result files go (made if missing; default: .)
      --csv           read and write CSV (RFC 4180) instead of spreadsheet text
      --delimiter C   the CSV field separator (default ","; ";" as many European exports use)
      --line-end E    lf, crlf or cr for the rows written (default: the platform's)
  -q, --quiet         no summary line
  -h, --help          this help
      --version       the version

Results: matches-list1, matches-list2, not-found-list1 and not-found-list2, each .tsv (or .csv).
Exit status: 0 compared, 1 comparison refused, 2 usage error or a file not read or written.
)";

#if defined(_WIN32)
constexpr std::string_view kPlatformLineEnd = "\r\n";
#else
constexpr std::string_view kPlatformLineEnd = "\n";
#endif

// The digits of a 1-based column number, or empty when `text` is not one.
std::string columnNumber(std::string_view text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return {};
    }
    const std::string number = std::to_string(std::stoul(std::string(text)));
    return number == "0" ? std::string() : number;
}

// How messages name a list's file.
std::string nameOf(const std::string& path) { return path == "-" ? "standard input" : path; }

// Text of a file's bytes in UTF-8: UTF-16 where a byte order mark says so, else UTF-8 with or
// without one. Spreadsheet text gets its rows ended as the clipboard's text does.
TextBuffer decoded(TextBuffer bytes, bool asRecords) {
    const std::string_view view = bytes.view();
    if (view.starts_with("\xFF\xFE")) {
        // A mapped file and a string both start aligned for any unit.
        const std::u16string_view units(reinterpret_cast<const char16_t*>(bytes.data()),
                                        bytes.size() / 2);
        return asRecords ? core::recordsTextOfUtf16(units) : core::utf8OfUtf16(units);
    }
    if (view.starts_with("\xFE\xFF")) {
        std::u16string units(bytes.size() / 2, u'\0');
        for (std::size_t k = 0; k < units.size(); ++k) {
            units[k] = static_cast<char16_t>((static_cast<unsigned char>(view[2 * k]) << 8) |
                                             static_cast<unsigned char>(view[2 * k + 1]));
        }
        return asRecords ? core::recordsTextOfUtf16(units) : core::utf8OfUtf16(units);
    }
    return asRecords ? core::recordsTextOfUtf8(std::move(bytes)) : core::validUtf8(std::move(bytes));
}

// The error of the last failed call, as the system words it.
std::string lastError() { return std::strerror(errno); }

// A file being written under a temporary name, removed unless it is kept. Messages name the file
// it becomes, `shown`: the temporary name means nothing to the user.
class TemporaryFile {
public:
    TemporaryFile(std::filesystem::path path, std::string shown)
        : path_(std::move(path)), shown_(std::move(shown)) {
#if defined(_WIN32)
        file_ = _wfopen(path_.c_str(), L"wb");
#else
        file_ = std::fopen(path_.c_str(), "wb");
#endif
        if (file_ == nullptr) throw FileError(shown_, lastError());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (file_ != nullptr) std::fclose(file_);
        if (!kept_) {
            std::error_code ignored;
            std::filesystem::remove(path_, ignored);
        }
    }

    void write(std::string_view bytes) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            throw FileError(shown_, lastError());
        }
    }

    void close() {
        const bool flushed = std::fflush(file_) == 0;
        const std::string error = flushed ? std::string() : lastError();
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!flushed || !closed) throw FileError(shown_, flushed ? lastError() : error);
    }

    const std::filesystem::path& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    std::filesystem::path path_;
    std::string shown_;
    std::FILE* file_ = nullptr;
    bool kept_ = false;
};

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A file in a folder as messages name it, in the words the user gave.
std::string shownPath(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

}  // namespace

std::variant<Arguments, std::string> parseArguments(std::span<const std::string> args,
                                                    const ArgumentRules& rules) {
    Arguments a;
    std::vector<std::string> lists;
    std::size_t rows = 0;
    bool delimiterGiven = false;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnd || arg == "-" || arg.empty() || arg[0] != '-') {
            lists.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        // "--name=value" is "--name value"; "-cVALUE" is "-c VALUE".
        std::string inlineValue;
        bool hasInline = false;
        if (arg.starts_with("--") && arg.find('=') != std::string::npos) {
            inlineValue = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
            hasInline = true;
        } else if (arg.size() > 2 && arg[1] != '-' && (arg[1] == 'c' || arg[1] == 'o')) {
            inlineValue = arg.substr(2);
            arg = arg.substr(0, 2);
            hasInline = true;
        }
        auto value = [&](std::string& into) -> bool {
            if (hasInline) {
                into = inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (arg == "-c" || arg == "--columns") {
            if (!value(v)) return arg + " needs a value A:B";
            const std::size_t colon = v.find(':');
            if (colon == std::string::npos) return arg + " takes A:B, not \"" + v + "\"";
            if (rows == 4) return "at most four comparison rows";
            std::string first = v.substr(0, colon);
            std::string second = v.substr(colon + 1);
            if (!rules.typedColumns) {
                first = columnNumber(first);
                second = columnNumber(second);
                if (first.empty() || second.empty()) {
                    return arg + " takes two column numbers from 1 up, as in 1:2, not \"" + v +
                           "\"";
                }
            }
            a.texts.list1[rows] = first;
            a.texts.list2[rows] = second;
            ++rows;
        } else if (arg == "-o" || arg == "--out") {
            if (!value(a.out) || a.out.empty()) return arg + " needs a folder";
        } else if (arg == "--csv" && !hasInline) {
            a.csv = true;
        } else if (arg == "--delimiter") {
            if (!value(v)) return "--delimiter needs a character";
            if (v.size() != 1 || v == "\"" || v == "\r" || v == "\n") {
                return "--delimiter takes one character other than a double quote or a line "
                       "break, not \"" + v + "\"";
            }
            a.separator = v[0];
            delimiterGiven = true;
        } else if (arg == "--line-end") {
            if (!value(v)) return "--line-end needs lf, crlf or cr";
            if (v == "lf") {
                a.lineEnd = "\n";
            } else if (v == "crlf") {
                a.lineEnd = "\r\n";
            } else if (v == "cr") {
                a.lineEnd = "\r";
            } else {
                return "--line-end takes lf, crlf or cr, not \"" + v + "\"";
            }
        } else if ((arg == "-q" || arg == "--quiet") && !hasInline) {
            a.quiet = true;
        } else if ((arg == "-h" || arg == "--help") && !hasInline) {
            a.help = true;
        } else if (arg == "--version" && !hasInline) {
            a.version = true;
        } else {
            const int taken =
                rules.more && !hasInline ? rules.more(arg, args.subspan(i + 1)) : -1;
            if (taken < 0) return "unknown option " + args[i];
            i += static_cast<std::size_t>(taken);
        }
    }
    if (a.help || a.version) return a;
    if (delimiterGiven && !a.csv) return "--delimiter is for --csv";
    if (lists.size() != 2) return "two lists are needed, LIST1 and LIST2";
    if (lists[0] == "-" && lists[1] == "-") return "standard input can be only one of the lists";
    a.list1 = lists[0];
    a.list2 = lists[1];
    return a;
}

TextBuffer inputBytes(const std::string& path) {
    try {
        if (path == "-") {
#if defined(_WIN32)
            _setmode(_fileno(stdin), _O_BINARY);
#endif
            return core::streamText(stdin);
        }
        return core::fileText(pathOf(path));
    } catch (const std::system_error& e) {
        throw FileError(nameOf(path), e.code().message());
    } catch (const std::bad_alloc&) {
        throw FileError(nameOf(path), "not enough memory to read it");
    }
}

RecordList readList(const std::string& path, const InputFormat& format) {
    return listOf(inputBytes(path), format, path);
}

RecordList listOf(TextBuffer text, const InputFormat& format, const std::string& path) {
    try {
        if (!format.raw) text = decoded(std::move(text), !format.csv);
        if (format.csv) text = core::recordsTextOfCsv(std::move(text), format.separator);
        core::RecordReader reader(std::move(text));
        reader.read();
        RecordList list;
        list.growColumns(reader.widestRow());
        list.setRecords(std::make_shared<const core::RecordTable>(reader.take()));
        return list;
    } catch (const std::bad_alloc&) {
        throw FileError(nameOf(path), "not enough memory to read it");
    }
}

ResultLists resultLists(const RecordList& list1, const RecordList& list2, core::Outcome outcome) {
    auto of = [](const RecordList& input, core::RowNumbers rows) {
        RecordList list;
        list.growColumns(input.columnCount());
        list.setRecords(input.table(), std::move(rows));
        return list;
    };
    return {of(list1, std::move(outcome.matched1)), of(list2, std::move(outcome.matched2)),
            of(list1, std::move(outcome.unmatched1)), of(list2, std::move(outcome.unmatched2))};
}

void writeList(const RecordList& list, const core::RowFormat& format,
               const std::function<void(std::string_view)>& sink) {
    // A room small enough to stay in the processor's cache, used again for every part.
    std::size_t room = std::size_t{1} << 18;
    auto bytes = std::make_unique_for_overwrite<char[]>(room);
    std::size_t next = 0;
    while (next < list.recordCount()) {
        const core::WrittenPart part = core::writeRecordsPart(list, next, bytes.get(), room, format);
        if (part.records == 0) {
            // One record larger than the room: a room of its size.
            room = core::writtenRecordBound(list, next, format);
            bytes = std::make_unique_for_overwrite<char[]>(room);
            continue;
        }
        sink({bytes.get(), part.bytes});
        next += part.records;
    }
}

void writeResultFiles(const std::string& folder, std::span<const ResultFile> files,
                      const core::RowFormat& format) {
    const std::filesystem::path dir = pathOf(folder);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) throw FileError(folder, error.message());

    std::vector<std::unique_ptr<TemporaryFile>> written;
    for (const ResultFile& f : files) {
        const std::string temporary =
            "." + f.name + ".partial-" + std::to_string(SORVANE_PROCESS_ID);
        written.push_back(
            std::make_unique<TemporaryFile>(dir / pathOf(temporary), shownPath(folder, f.name)));
    }
    // The files are written on every processor at once, each processor taking every other file.
    const std::size_t parts = std::min<std::size_t>(files.size(), 2);
    core::inParallel(parts, [&](std::size_t part) {
        for (std::size_t k = part; k < files.size(); k += parts) {
            TemporaryFile& file = *written[k];
            writeList(*files[k].list, format, [&](std::string_view bytes) { file.write(bytes); });
            file.close();
        }
    });
    // Two at a time too: a rename over an earlier result frees that file's pages, which takes
    // as long as writing a part of the new one.
    core::inParallel(parts, [&](std::size_t part) {
        for (std::size_t k = part; k < files.size(); k += parts) {
            std::error_code renameError;
            std::filesystem::rename(written[k]->path(), dir / pathOf(files[k].name), renameError);
            if (renameError) {
                throw FileError(shownPath(folder, files[k].name), renameError.message());
            }
            written[k]->keep();
        }
    });
}

std::string summaryLine(const ResultLists& results, std::string_view grouping) {
    return core::groupedDigits(results.matches1.recordCount(), grouping) + " pairs; " +
           core::groupedDigits(results.notFound1.recordCount(), grouping) +
           " records of List 1 and " +
           core::groupedDigits(results.notFound2.recordCount(), grouping) +
           " of List 2 without a partner";
}

int compareCommand(std::span<const std::string> args) {
    // One comparison a run: no command comes after it to keep its scratch for.
    core::keepScratch(false);
    const auto parsed = parseArguments(args);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        std::cerr << "sorvane-compare: " << *problem
                  << "\nTry 'sorvane-compare --help' for more information.\n";
        return 2;
    }
    const Arguments& a = std::get<Arguments>(parsed);
    if (a.help) {
        std::cout << kHelp;
        return 0;
    }
    if (a.version) {
        std::cout << "sorvane-compare " SORVANE_VERSION "\n";
        return 0;
    }
    try {
        const InputFormat input{a.csv, a.separator, false};
        // The two lists are read at the same time, each on a processor of its own.
        RecordList lists[2];
        core::inParallel(2, [&](std::size_t side) {
            lists[side] = readList(side == 0 ? a.list1 : a.list2, input);
        });
        const RecordList& list1 = lists[0];
        const RecordList& list2 = lists[1];
        auto result = core::compareLists(list1, list2, a.texts);
        if (const auto* refusal = std::get_if<core::Refusal>(&result)) {
            std::cerr << refusal->message << '\n';
            return 1;
        }
        const ResultLists results =
            resultLists(list1, list2, std::move(std::get<core::Outcome>(result)));
        const std::string ext = a.csv ? ".csv" : ".tsv";
        const ResultFile files[] = {{"matches-list1" + ext, &results.matches1},
                                    {"matches-list2" + ext, &results.matches2},
                                    {"not-found-list1" + ext, &results.notFound1},
                                    {"not-found-list2" + ext, &results.notFound2}};
        core::RowFormat format;
        format.lineEnd = a.lineEnd.empty() ? kPlatformLineEnd : std::string_view(a.lineEnd);
        if (a.csv) {
            format.separator = a.separator;
            format.quoted = true;
        }
        writeResultFiles(a.out.empty() ? "." : a.out, files, format);
        if (!a.quiet) {
            // Digits grouped as the user's locale groups them, as the count labels do.
            std::setlocale(LC_NUMERIC, "");
            const char* const separator = std::localeconv()->thousands_sep;
            std::cout << summaryLine(results, separator != nullptr && *separator != '\0'
                                                  ? separator
                                                  : ",")
                      << '\n';
        }
        return 0;
    } catch (const FileError& e) {
        std::cerr << "sorvane-compare: " << e.what() << '\n';
        return 2;
    } catch (const std::bad_alloc&) {
        std::cerr << "sorvane-compare: not enough memory\n";
        return 2;
    }
}

}  // namespace sorvane::app
