#include "tests/support/contrast.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Relative luminance: each sRGB channel linearised, weighted by how bright it looks.
double Luminance(int rgb) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear((rgb >> 16) & 0xFF) + 0.7152 * linear((rgb >> 8) & 0xFF) +
           0.0722 * linear(rgb & 0xFF);
}

}  // namespace

double ContrastRatio(int rgb1, int rgb2) {
    const double a = Luminance(rgb1), b = Luminance(rgb2);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

int CommonestColour(const QImage& image) {
    std::map<int, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[static_cast<int>(image.pixel(x, y) & 0xFFFFFF)];
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? -1 : most->first;
}
