// How late each picture left against its schedule, by the shooting time its EXIF data holds: the first shot
// due SPACING ms after START (a time of day), each next one SPACING ms later.
//   orvex_shot_lateness HH:MM:SS SPACING_MS PICTURE...
// Prints each shot's lateness in milliseconds, then the median, the 99th percentile and the worst.
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr long kDayMs = 24L * 3600 * 1000;

// Milliseconds since midnight of the picture's shooting time, or -1 when it has none.
long shootingTimeOfDay(const std::string& file) {
    try {
        auto image = Exiv2::ImageFactory::open(file);
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto when = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
        const auto sub = exif.findKey(Exiv2::ExifKey("Exif.Photo.SubSecTimeOriginal"));
        if (when == exif.end()) return -1;
        int year, month, day, hour, minute, second;
        if (std::sscanf(when->toString().c_str(), "%d:%d:%d %d:%d:%d", &year, &month, &day, &hour, &minute,
                        &second) != 6)
            return -1;
        const long ms = sub == exif.end() ? 0 : std::atol(sub->toString().c_str());
        return ((hour * 60L + minute) * 60 + second) * 1000 + ms;
    } catch (const Exiv2::AnyError& error) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), error.what());
        return -1;
    }
}

long percentile(std::vector<long> sorted, double fraction) {
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

} // namespace

int main(int argc, char** argv) {
    int hour, minute, second;
    if (argc < 4 || std::sscanf(argv[1], "%d:%d:%d", &hour, &minute, &second) != 3) {
        std::fprintf(stderr, "usage: %s HH:MM:SS SPACING_MS PICTURE...\n", argv[0]);
        return 2;
    }
    const long start = ((hour * 60L + minute) * 60 + second) * 1000;
    const long spacing = std::atol(argv[2]);
    std::vector<long> times;
    for (int i = 3; i < argc; ++i) {
        const long t = shootingTimeOfDay(argv[i]);
        if (t < 0) {
            std::fprintf(stderr, "%s: no shooting time\n", argv[i]);
            return 1;
        }
        // A run that passes midnight goes on counting.
        times.push_back(t < start - kDayMs / 2 ? t + kDayMs : t);
    }
    std::sort(times.begin(), times.end());
    std::vector<long> late;
    for (std::size_t k = 0; k < times.size(); ++k) {
        late.push_back(times[k] - (start + static_cast<long>(k + 1) * spacing));
        std::printf("shot %zu\t%ld ms\n", k + 1, late.back());
    }
    std::sort(late.begin(), late.end());
    std::printf("median\t%ld ms\np99\t%ld ms\nworst\t%ld ms\n", percentile(late, 0.5), percentile(late, 0.99),
                late.back());
    return 0;
}
