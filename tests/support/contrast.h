// Colours as the operator sees them: the contrast ratio of two colours, and the background
// of a rendered widget.
#pragma once

#include <QImage>

// The WCAG 2 contrast ratio of two sRGB colours (0xRRGGBB), from 1 (the same) to 21.
double ContrastRatio(int rgb1, int rgb2);
// The colour most pixels of image have (0xRRGGBB): what a widget's contents are drawn on.
int CommonestColour(const QImage& image);
