// A picture of curves over sample numbers, for reports: drawn straight with a painter on an
// image, so it needs no window and no chart (the headless report draws it too).
#pragma once

#include <string>
#include <vector>

struct PictureCurve {
    std::string name;  // in the legend
    int rgb = 0;
    bool dashed = false;
    std::vector<double> values;  // one per sample, sample 1 first
    std::vector<bool> present;   // per sample; empty: all present. Gaps break the line.
};

struct CurvePicture {
    std::string title;
    double yMin = 0.0;  // the value range drawn; values outside are clipped at the edges
    double yMax = 1000.0;
    int width = 640;
    int height = 320;
};

// The PNG file's bytes; empty when the image could not be made.
std::string CurvePicturePng(const CurvePicture& picture, const std::vector<PictureCurve>& curves);
