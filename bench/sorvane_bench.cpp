// The headless bench tool: pastes two files as List 1 and List 2, runs the Compare command with
// the given comparison rows, copies the four result lists, and reports counts, times and peak
// memory. It is also how the engine is checked from outside.
//
//   sorvane-bench LIST1 LIST2 [-c T1:T2]... [--out DIR] [--engine fast|literal] [--raw]

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "clipboard.h"
#include "clipboard_text.h"
#include "literal_pairing.h"
#include "memory_advice.h"
#include "text_order.h"
#include "workspace.h"

namespace {

using namespace sorvane::core;

bool writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}


template <typename F>
double millis(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A clipboard that holds one text, handed over whole to the paste that reads it. Copied text is
// written straight from its room to the output file, if there is one, rather than held as a
// second copy; the time that takes is kept apart so the copy timing is the command's own. The
// room is kept from copy to copy, as a clipboard of its own would keep it.
class BenchClipboard : public Clipboard {
public:
    std::string content;
    bool normalise = true;
    std::string outPath;       // where the next copied text goes; empty: nowhere
    bool written = true;       // whether the last copied text reached its file
    double writeMs = 0;        // time spent writing files

    TextBuffer text() override {
        std::string t = std::move(content);
        content = std::string();
        if (normalise) return recordsTextOfUtf8(std::move(t));
        return t;
    }
    void clear() override { content = std::string(); }
    void setText(const std::string& text) override { write(text); }
    void putText(std::size_t length) override { write({room(), length}); }

private:
    void write(std::string_view text) {
        if (outPath.empty()) return;
        writeMs += millis([&] { written = writeFile(outPath, text); });
    }
};

// Nobody can answer the error report here: it is printed and answered with Cancel.
class BatchUi : public CommandUi {
public:
    bool failed = false;
    void setPointer(Pointer) override {}
    Answer askRetry(const std::string& report) override {
        std::cerr << report << '\n';
        failed = true;
        return Answer::Cancel;
    }
};

struct Options {
    std::string list1;
    std::string list2;
    ChooserTexts texts;
    std::string out;
    Pairing pairing = pairRecords;
    bool raw = false;
};

int usage(const std::string& problem) {
    std::cerr << "sorvane-bench: " << problem << "\n"
              << "usage: sorvane-bench LIST1 LIST2 [-c T1:T2]... [--out DIR] "
                 "[--engine fast|literal] [--raw]\n";
    return 64;
}

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const auto size = static_cast<std::size_t>(in.tellg());
    bytes = std::string();
    bytes.reserve(size);
    preferHugePages(bytes.data(), size);
    bytes.resize(size);
    in.seekg(0);
    return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    int rows = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-c" && hasValue) {
            const std::string pair = argv[++i];
            const std::size_t colon = pair.find(':');
            if (colon == std::string::npos) return usage("-c takes T1:T2");
            if (rows == 4) return usage("at most four comparison rows");
            o.texts.list1[rows] = pair.substr(0, colon);
            o.texts.list2[rows] = pair.substr(colon + 1);
            ++rows;
        } else if (arg == "--out" && hasValue) {
            o.out = argv[++i];
        } else if (arg == "--engine" && hasValue) {
            const std::string engine = argv[++i];
            if (engine != "fast" && engine != "literal") return usage("unknown engine " + engine);
            o.pairing = engine == "fast" ? pairRecords : pairRecordsLiteral;
        } else if (arg == "--raw") {
            o.raw = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) return usage("two list files are needed");
    o.list1 = positional[0];
    o.list2 = positional[1];

    if (!o.out.empty()) {
        // As command-line tools do, the folder for the results is made with its parents.
        std::error_code error;
        std::filesystem::create_directories(o.out, error);
        if (error) {
            std::cerr << "sorvane-bench: cannot create " << o.out << ": " << error.message() << '\n';
            return 1;
        }
    }

    // Like the window, the bench orders text by the collation locale of its environment.
    Workspace ws(",", collationLocale(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"),
                                      std::getenv("LANG")));
    BenchClipboard clipboard;
    clipboard.normalise = !o.raw;
    BatchUi ui;
    double pasteMs[2] = {0, 0};
    // Reading the files stands for the clipboard's delivery, which is not the paste's own work.
    // It writes the lists' size in memory new to this process, so its time also shows how dear
    // such memory is in this run, which the compare and the copies meet too.
    double loadMs = 0;
    for (int side = 0; side < 2; ++side) {
        const std::string& path = side == 0 ? o.list1 : o.list2;
        bool read = false;
        loadMs += millis([&] { read = readFile(path, clipboard.content); });
        if (!read) {
            std::cerr << "sorvane-bench: cannot read " << path << '\n';
            return 1;
        }
        pasteMs[side] = millis([&] { ws.paste(side == 0 ? Side::List1 : Side::List2, clipboard, ui); });
        if (ui.failed) return 3;
    }

    std::optional<std::string> refusal;
    const double compareMs = millis([&] { refusal = ws.compare(o.texts, o.pairing); });
    if (refusal) {
        std::cout << "refused: " << *refusal << '\n';
        return 2;
    }

    // One result list at a time, so only one copied text is held at once.
    const ListId results[] = {ListId::Matches1, ListId::Matches2, ListId::NotFound1,
                              ListId::NotFound2};
    const char* const names[] = {"matches1.tsv", "matches2.tsv", "notfound1.tsv", "notfound2.tsv"};
    double copyMs = 0;
    std::string counts;
    for (int k = 0; k < 4; ++k) {
        // An empty list puts nothing on the clipboard, which still gives an empty file.
        clipboard.outPath = o.out.empty() ? std::string() : o.out + "/" + names[k];
        clipboard.setText(std::string());
        const double writtenBefore = clipboard.writeMs;
        copyMs += millis([&] { ws.copy(results[k], clipboard, ui); });
        copyMs -= clipboard.writeMs - writtenBefore;
        if (ui.failed) return 3;
        if (!clipboard.written) {
            std::cerr << "sorvane-bench: cannot write into " << o.out << '\n';
            return 1;
        }
        counts += ws.countLabel(results[k]) + "\n";
    }
    if (!o.out.empty() && !writeFile(o.out + "/counts.txt", counts)) {
        std::cerr << "sorvane-bench: cannot write into " << o.out << '\n';
        return 1;
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("pairs=%zu unmatched1=%zu unmatched2=%zu\n",
                ws.list(ListId::Matches1).recordCount(), ws.list(ListId::NotFound1).recordCount(),
                ws.list(ListId::NotFound2).recordCount());
    std::printf(
        "load_ms=%.1f paste1_ms=%.1f paste2_ms=%.1f compare_ms=%.1f copy_ms=%.1f "
        "peak_rss_mb=%.1f\n",
        loadMs, pasteMs[0], pasteMs[1], compareMs, copyMs, usage.ru_maxrss / 1024.0);
    return 0;
}
