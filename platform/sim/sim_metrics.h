#pragma once
// The screen measures that the simulated handheld reports: a QVGA device
// (240 x 320 pixels, small icons of 16) until a test sets others, such as those
// of a VGA device (480 x 640, small icons of 32).

struct SimScreenMetrics {
    int width;
    int height;
    int smallIconWidth;
    int iconSize; // icons are square
};

extern SimScreenMetrics& simScreenMetrics; // simHandheld.screenMetrics

// The measures of the QVGA device.
SimScreenMetrics simScreenMetricsSwitchedOn();
