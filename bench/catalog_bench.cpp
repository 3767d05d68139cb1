// Loading and indexing a full catalog section, then lookups that hit (binary
// search) and lookups that miss (binary search plus a pass over the text).
//
//   catalog_bench [LOOKUPS [MISS_EVERY]]   defaults: 1000000 lookups, every 100th a miss
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "localization/catalog.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Entries of about 40 bytes until the section's 131072 bytes are full.
std::string FullSection(std::vector<std::string>& texts) {
    std::string section = "***messages***\r\n";
    for (int i = 0;; ++i) {
        std::string text = "message number " + std::to_string(i);
        char key[kCatalogKeySize + 1];
        MakeCatalogKey(kMessageText, nullptr, text.c_str(), key);
        std::string line = std::string(key) + "=\"translation " + std::to_string(i) + "\\n\"\r\n";
        if (section.size() + line.size() > kCatalogSectionSize) break;
        section += line;
        texts.push_back(text);
    }
    return section;
}

}  // namespace

int main(int argc, char** argv) {
    long lookups = argc > 1 ? std::atol(argv[1]) : 1000000;
    long missEvery = argc > 2 ? std::atol(argv[2]) : 100;
    if (lookups <= 0 || missEvery <= 0) {
        std::fprintf(stderr, "usage: catalog_bench [LOOKUPS [MISS_EVERY]]\n");
        return 2;
    }
    std::vector<std::string> texts;
    std::string section = FullSection(texts);

    constexpr int kLoads = 100;
    LanguageCatalog catalog;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < kLoads; ++i) {
        if (!catalog.LoadSection(section.data(), section.size())) return 1;
    }
    double load = Seconds(start) / kLoads;
    std::printf("section: %zu bytes, %d entries indexed\n", section.size(), catalog.index.count);
    std::printf("load (unescape, index, sort): %.3f ms\n", load * 1e3);

    char out[512];
    long hits = 0;
    long misses = 0;
    long wrong = 0;
    double hitTime = 0;
    double missTime = 0;
    for (long i = 0; i < lookups; ++i) {
        bool miss = i % missEvery == missEvery - 1;
        const std::string& text = texts[static_cast<std::size_t>(i) % texts.size()];
        std::string missing = miss ? "missing " + text : std::string();
        const char* query = miss ? missing.c_str() : text.c_str();
        Clock::time_point begin = Clock::now();
        catalog.Translate(query, out, sizeof(out), kMessageText, nullptr);
        double spent = Seconds(begin);
        if (miss) {
            ++misses;
            missTime += spent;
            wrong += missing != out;
        } else {
            ++hits;
            hitTime += spent;
            wrong += out[0] != 't';
        }
    }
    std::printf("%ld lookups: %ld hits in %.3f s (%.3f us each), %ld misses in %.3f s (%.1f us each)\n", lookups,
                hits, hitTime, hits ? hitTime / hits * 1e6 : 0.0, misses, missTime,
                misses ? missTime / misses * 1e6 : 0.0);
    if (wrong) {
        std::printf("%ld lookups gave the wrong text\n", wrong);
        return 1;
    }
    return 0;
}
