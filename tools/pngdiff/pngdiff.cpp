// pngdiff A.png B.png: prints the mean absolute difference of each channel
// (R G B, 0..255) of two images of the same size, and their mean, on one
// line. Exit status 2 when an image cannot be read or the sizes differ.
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pngdiff A.png B.png\n");
        return 2;
    }
    int w[2], h[2], channels;
    unsigned char* pixels[2];
    for (int i = 0; i < 2; ++i) {
        pixels[i] = stbi_load(argv[1 + i], &w[i], &h[i], &channels, 3);
        if (!pixels[i]) {
            std::fprintf(stderr, "pngdiff: cannot read '%s': %s\n", argv[1 + i], stbi_failure_reason());
            return 2;
        }
    }
    if (w[0] != w[1] || h[0] != h[1]) {
        std::fprintf(stderr, "pngdiff: '%s' is %dx%d, '%s' %dx%d\n", argv[1], w[0], h[0], argv[2], w[1], h[1]);
        return 2;
    }
    double sum[3] = {0, 0, 0};
    const long count = long(w[0]) * h[0];
    for (long p = 0; p < count; ++p)
        for (int c = 0; c < 3; ++c) sum[c] += std::abs(int(pixels[0][3 * p + c]) - int(pixels[1][3 * p + c]));
    for (double& s : sum) s /= double(count);
    std::printf("%.3f %.3f %.3f %.3f\n", sum[0], sum[1], sum[2], (sum[0] + sum[1] + sum[2]) / 3.0);
    stbi_image_free(pixels[0]);
    stbi_image_free(pixels[1]);
    return 0;
}
