/*
 * paint_dab: the smallest host of the paloran engine, in plain C99.
 *
 * Creates a 256x256 page with a white background layer, paints one soft
 * round dab in its middle, renders the page into a bottom-up 24-bit bitmap
 * (as a window would show it) and writes the picture with the engine's own
 * file writer.
 *
 *   paint_dab [out.png]
 *
 * Exit status 0 when the picture was written and the dab is in it.
 */
#include <paloran.h>

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>

enum { kWidth = 256, kHeight = 256, kBackground = 1, kDabSize = 64 };

int main(int argc, char** argv) {
    const char* output = argc > 1 ? argv[1] : "paint_dab.png";
    const int stride = (kWidth * 3 + 3) & ~3; /* bitmap rows are 4-byte aligned */
    uint8_t* white = malloc((size_t)kWidth * kHeight * 4);
    uint8_t* bitmap = malloc((size_t)stride * kHeight);
    uint8_t* rgb = malloc((size_t)kWidth * kHeight * 3);
    int status = 1;
    if (!white || !bitmap || !rgb) goto done;

    /* The page and its background layer, filled white. */
    PLR_CreateImage(NULL, kWidth, kHeight, kDabSize, 0);
    if (!PLR_CreateLayer(kBackground, kWidth, kHeight)) {
        fprintf(stderr, "paint_dab: cannot create the layer: %s\n", PLR_GetLastError());
        goto done;
    }
    for (size_t i = 0; i < (size_t)kWidth * kHeight * 4; ++i) white[i] = 255;
    PLR_LoadRGBA32Layer(white, kWidth * 4, kBackground, 0, 0, kWidth, kHeight, 0);
    PLR_SetLayerOptions(kBackground, 1, 0, 100, "Normal"); /* visible, unlocked, opaque */
    PLR_SetLayer(kBackground);

    /* A soft round brush: full shape gain, a soft rim, no grit, no mixing.
       The tool builds its shape at the size set before it. */
    PLR_SetSize(kDabSize);
    PLR_SetScaleSize(kDabSize);
    PLR_SetTool(1.0f, 0, 0, 0, 200, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    PLR_SetDensity(256);
    PLR_SetAlpha(100);
    PLR_SetColor(200, 40, 30);
    PLR_DrawDabGrit(kWidth / 2, kHeight / 2, 200 << 8, 40 << 8, 30 << 8);

    /* Render bottom-up (negative stride from the last row), as a window bitmap. */
    uint8_t* top = bitmap + (size_t)stride * (kHeight - 1);
    PLR_SetScale(1, 1.0f);
    PLR_SetViewSize(kWidth, kHeight);
    PLR_Render(top, -stride, 0, 0, kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* s = top - (ptrdiff_t)y * stride;
        uint8_t* d = rgb + (size_t)y * kWidth * 3;
        for (int x = 0; x < kWidth; ++x) { /* BGR to RGB */
            d[3 * x + 0] = s[3 * x + 2];
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x + 0];
        }
    }

    const uint8_t* middle = rgb + ((size_t)(kHeight / 2) * kWidth + kWidth / 2) * 3;
    const uint8_t* corner = rgb;
    if (!(middle[0] > middle[1] && middle[0] > middle[2]) || corner[0] != 255 || corner[1] != 255) {
        fprintf(stderr, "paint_dab: the dab is not where it was painted\n");
        goto done;
    }
    if (!PLR_WriteToFileRGB24(rgb, kWidth, kHeight, output, ".png", 72)) {
        fprintf(stderr, "paint_dab: cannot write %s: %s\n", output, PLR_GetLastError());
        goto done;
    }
    printf("paint_dab: %s (%dx%d), middle pixel %d,%d,%d\n", output, kWidth, kHeight, middle[0], middle[1],
           middle[2]);
    status = 0;

done:
    PLR_DeleteImage();
    free(rgb);
    free(bitmap);
    free(white);
    return status;
}
