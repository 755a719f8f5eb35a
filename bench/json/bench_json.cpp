// The order viewer's layout on a large order-service answer, against jq's pretty-printer.
//
// Generates an order-shaped answer of about 20 MB (an array of orders with their lines, Romanian
// diacritics in the names), writes it to a file, and measures:
//   - the layout time, best of three runs, and jq's time for `jq . FILE > /dev/null`, best of three;
//   - the layout time of a 2 MB answer of the same shape, to show how time grows with size;
//   - the peak memory of a fresh process that reads the file and lays it out, counted from just
//     before the read: the stored text plus the laid-out text, compared with the answer's size.
// Ends with "json ratio=<our time / jq time> memory_ratio=<our peak memory / answer size>".
#include "JsonText.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A small deterministic generator, so that every run lays out the same answer.
struct Lcg {
    std::uint64_t state = 0x2545F4914F6CDD1DULL;
    std::uint32_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }
};

const char *const clients[] = {"Ștefania Mărgineanu", "Cofetăria Dulce SRL", "Ion Țurcanu",
                               "Brutăria Bună Ziua", "Ana-Maria Îndrieș", "Magazinul Sătesc"};
const char *const locations[] = {"Brașov, Str. Lungă 12", "Iași / Copou, Bd. Carol I 4",
                                 "Cluj-Napoca, Bd. Eroilor 3", "Timișoara, Piața Unirii 1",
                                 "Târgu Mureș, Str. Bolyai 7"};
const char *const products[] = {"Brânză de burduf 500 g", "Pâine feliată", "Zahăr tos 1 kg",
                                "Făină albă 000", "Ulei de floarea-soarelui", "Mălai extra",
                                "Cașcaval \"Rucăr\" 400 g", "Țuică de prune 0,5 l"};

// One answer of at least `bytes` bytes, written the way a service's JSON library commonly writes
// it: on one line, with ", " and ": " between the items.
std::string makeAnswer(std::size_t bytes) {
    Lcg rng;
    std::string s;
    s.reserve(bytes + 4096);
    s += '[';
    char buf[256];
    for (unsigned order = 0; s.size() < bytes; ++order) {
        if (order)
            s += ", ";
        std::snprintf(buf, sizeof buf, "%08x-%04x-4%03x-9%03x-%012llx", rng.next(), rng.below(0x10000),
                      rng.below(0x1000), rng.below(0x1000),
                      static_cast<unsigned long long>(rng.next()) * 4096 + order);
        s += R"({"order_id": ")";
        s += buf;
        s += R"(", "client_full_name": ")";
        s += clients[rng.below(std::size(clients))];
        s += R"(", "location": ")";
        s += locations[rng.below(std::size(locations))];
        std::snprintf(buf, sizeof buf,
                      R"(", "created_at": "2026-12-%02uT%02u:%02u:00", "delivery_date": "2026-12-%02u", "lines": [)",
                      1 + rng.below(28), rng.below(24), rng.below(60), 1 + rng.below(28));
        s += buf;
        const unsigned lines = 1 + rng.below(5);
        for (unsigned line = 0; line < lines; ++line) {
            if (line)
                s += ", ";
            std::snprintf(buf, sizeof buf, R"({"sku": "SKU-%05u", "name": ")", rng.below(100000));
            s += buf;
            // Product names with diacritics and an escaped quotation mark now and then.
            const char *name = products[rng.below(std::size(products))];
            for (const char *p = name; *p; ++p) {
                if (*p == '"')
                    s += '\\';
                s += *p;
            }
            std::snprintf(buf, sizeof buf, R"(", "quantity": %u, "price": %u.%02u})", 1 + rng.below(50),
                          1 + rng.below(200), rng.below(100));
            s += buf;
        }
        s += "]}";
    }
    s += ']';
    return s;
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::string s;
    in.seekg(0, std::ios::end);
    s.resize(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(s.data(), static_cast<std::streamsize>(s.size()));
    return s;
}

// Best of `runs` layouts of `text`; the laid-out size goes to `laidSize`.
double bestLayoutSeconds(const std::string &text, std::size_t &laidSize, int runs) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        const auto laid = wik::json::layOut(text);
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (!laid) {
            std::fprintf(stderr, "the generated answer is not valid for the viewer\n");
            std::exit(1);
        }
        laidSize = laid->size();
        best = std::min(best, s);
    }
    return best;
}

struct ChildRun {
    double seconds;
    long maxRssKb;
    int status;
};

// jq pretty-prints the file to /dev/null; time and peak memory of that process.
ChildRun runJq(const std::string &path) {
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        execlp("jq", "jq", ".", path.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    return {std::chrono::duration<double>(Clock::now() - t0).count(), ru.ru_maxrss, status};
}

long statusKb(const char *field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0)
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    return -1;
}

// Peak memory, in bytes, that reading the file and laying it out adds to a process.
long long layoutPeakBytes(const std::string &path) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const long before = statusKb("VmRSS:");
        std::size_t size = 0;
        {
            const std::string text = readFile(path);
            const auto laid = wik::json::layOut(text);
            size = laid ? laid->size() : 0;
        }
        const long long grown = (statusKb("VmHWM:") - before) * 1024LL;
        const long long answer[2] = {grown, static_cast<long long>(size)};
        (void)!write(fds[1], answer, sizeof answer);
        _exit(0);
    }
    close(fds[1]);
    long long answer[2] = {-1, 0};
    (void)!read(fds[0], answer, sizeof answer);
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return answer[0];
}

double mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

} // namespace

int main() {
    const char *work = std::getenv("WIK_BENCH_WORK");
    const std::filesystem::path dir = work ? work : std::filesystem::temp_directory_path().string();
    const std::string path = (dir / ("bench_json_" + std::to_string(getpid()) + ".json")).string();

    const std::size_t large = 20u * 1024 * 1024;
    std::size_t docSize = 0;
    {
        const std::string answer = makeAnswer(large);
        docSize = answer.size();
        std::ofstream(path, std::ios::binary).write(answer.data(), static_cast<std::streamsize>(answer.size()));
    }

    // Memory first, from a process that has not yet held anything large.
    const long long peak = layoutPeakBytes(path);

    const std::string text = readFile(path);
    std::size_t laidSize = 0;
    const double ours = bestLayoutSeconds(text, laidSize, 3);

    const std::string small = makeAnswer(large / 10);
    std::size_t smallLaid = 0;
    // A few milliseconds each: more runs to see past the noise of the machine.
    const double oursSmall = bestLayoutSeconds(small, smallLaid, 10);

    double jq = 1e300;
    long jqRssKb = 0;
    for (int i = 0; i < 3; ++i) {
        const ChildRun r = runJq(path);
        if (!WIFEXITED(r.status) || WEXITSTATUS(r.status) != 0) {
            std::fprintf(stderr, "jq failed (status %d)\n", r.status);
            std::remove(path.c_str());
            return 1;
        }
        jq = std::min(jq, r.seconds);
        jqRssKb = std::max(jqRssKb, r.maxRssKb);
    }
    std::remove(path.c_str());

    std::printf("answer: %zu bytes (%.1f MB), laid out: %zu bytes (%.2f x)\n", docSize, mb(docSize), laidSize,
                static_cast<double>(laidSize) / static_cast<double>(docSize));
    std::printf("layout 20 MB: %.1f ms (%.0f MB/s), best of 3\n", ours * 1e3, mb(docSize) / ours);
    std::printf("layout  2 MB: %.1f ms (%.0f MB/s), best of 10; 20 MB / 2 MB time = %.2f for %.2f x the size\n",
                oursSmall * 1e3, mb(small.size()) / oursSmall, ours / oursSmall,
                static_cast<double>(docSize) / static_cast<double>(small.size()));
    std::printf("jq . FILE > /dev/null: %.1f ms, best of 3; jq peak memory %.1f MB (%.2f x the answer)\n",
                jq * 1e3, jqRssKb / 1024.0, jqRssKb * 1024.0 / static_cast<double>(docSize));
    std::printf("read + layout peak memory: %.1f MB (the answer's text %.1f MB + the laid-out text %.1f MB)\n",
                static_cast<double>(peak) / (1024.0 * 1024.0), mb(docSize), mb(laidSize));
    std::printf("json ratio=%.3f memory_ratio=%.2f\n", ours / jq,
                static_cast<double>(peak) / static_cast<double>(docSize));
    return 0;
}
