#pragma once

// The parts of the command-line comparison that sorvane-compare and the bench tool share: their
// arguments, reading a list from a file or standard input, and writing result lists to files.

#include <cstddef>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "comparison.h"
#include "record_list.h"
#include "record_writer.h"

namespace sorvane::app {

/// A file that cannot be read or written: its name and the system's reason.
struct FileError : std::runtime_error {
    FileError(const std::string& file, const std::string& reason)
        : std::runtime_error(file + ": " + reason) {}
};

/// What the command line asks for.
struct Arguments {
    std::string list1;                   ///< a file, or "-" for standard input
    std::string list2;                   ///< the same for List 2
    core::ChooserTexts texts;            ///< comparison row r from the r-th --columns
    std::string out;                     ///< where result files go; empty when not given
    bool csv = false;                    ///< read and write comma-separated values
    char separator = ',';                ///< the field separator of such values
    std::string lineEnd;                 ///< after each written row; empty when not given
    bool quiet = false;                  ///< no summary line
    bool help = false;                   ///< --help: nothing else is done
    bool version = false;                ///< --version: nothing else is done
};

/// How a tool reads its arguments beyond the common ones.
struct ArgumentRules {
    /// Whether a --columns value is taken as the texts typed into the two choosers, as they
    /// stand (the bench tool), rather than as two column numbers.
    bool typedColumns = false;
    /// Offered each option that the common ones do not know, with the arguments after it;
    /// returns how many of those it took, or -1 when it does not know the option either.
    std::function<int(std::string_view option, std::span<const std::string> rest)> more;
};

/// The arguments, or the usage error they hold (its message says which argument and why).
std::variant<Arguments, std::string> parseArguments(std::span<const std::string> args,
                                                    const ArgumentRules& rules = {});

/// How a list's file is read.
struct InputFormat {
    bool csv = false;       ///< comma-separated values rather than spreadsheet text
    char separator = ',';   ///< their field separator
    bool raw = false;       ///< bytes as they stand: no decoding, and only CR ends a row
};

/// The bytes of a file ("-": standard input), mapped where the system allows; throws FileError.
core::TextBuffer inputBytes(const std::string& path);

/// The list that the bytes of file `path` hold, read as a paste reads the clipboard's text, or
/// as comma-separated values; throws FileError.
core::RecordList listOf(core::TextBuffer bytes, const InputFormat& format, const std::string& path);

/// The list that a file ("-": standard input) holds: listOf(inputBytes(path)).
core::RecordList readList(const std::string& path, const InputFormat& format);

/// The four result lists of a comparison, in the order the windows show them.
struct ResultLists {
    core::RecordList matches1;   ///< List 1's side of each pair
    core::RecordList matches2;   ///< the partner of each in List 2
    core::RecordList notFound1;  ///< List 1's records without a partner
    core::RecordList notFound2;  ///< List 2's records without a partner
};

/// The result lists of `outcome` of comparing the unsorted lists `list1` and `list2`: rows of
/// their tables, with their columns.
ResultLists resultLists(const core::RecordList& list1, const core::RecordList& list2,
                        core::Outcome outcome);

/// Hands `list`'s text in `format` to `sink` in parts, each written into the same room.
void writeList(const core::RecordList& list, const core::RowFormat& format,
               const std::function<void(std::string_view)>& sink);

/// One result file: its name and the list it holds.
struct ResultFile {
    std::string name;
    const core::RecordList* list;
};

/// Writes each list into its file in `folder`, made with its parents if missing. Every file is
/// written under a temporary name first and given its own name only once all are whole, so a
/// failure leaves none of them, and no earlier file changed; throws FileError.
void writeResultFiles(const std::string& folder, std::span<const ResultFile> files,
                      const core::RowFormat& format);

/// The summary line: the pairs and the records of each list without a partner, the numbers
/// grouped as the count labels group them.
std::string summaryLine(const ResultLists& results, std::string_view grouping);

/// The whole sorvane-compare command; returns its exit status: 0 compared, 1 refused, 2 usage
/// or file error.
int compareCommand(std::span<const std::string> args);

}  // namespace sorvane::app
