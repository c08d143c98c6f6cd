// Shared pieces of the benchmarks that run the program on the offscreen platform.
#pragma once

class COrvikDoc;

// A new width x height image of the given type made through File > New, filled with a varied
// pattern so palette look-ups and copies do real work; null when it could not be made.
COrvikDoc* NewBenchImage(int type, int width = 6000, int height = 4000);
// Sizes the document's window so that its editing view has a width x height client area.
void SizeClientArea(COrvikDoc* doc, int width = 1920, int height = 1080);
// Closes the document's window without asking about saving.
void CloseBenchImage(COrvikDoc* doc);
// Starts the program on the offscreen platform with settings of its own and runs the benchmarks.
int RunGuiBenchmarks(int argc, char** argv, int mainWidth = 2400, int mainHeight = 1600);
