#include "shell/page_layout.h"

PagePosition ComputePagePosition(int screenWidth, int screenHeight, int pageWidth, int pageHeight,
                                 int shifted) {
    PagePosition p;
    // C++ integer division truncates toward zero, as the placement wants.
    p.x = shifted ? (screenWidth - pageWidth + BandWidth) / 2 : (screenWidth - pageWidth) / 2;
    p.y = (screenHeight - pageHeight) / 2;
    return p;
}

PagePosition PlaceBoxClearOfPage(int screenWidth, int screenHeight, PagePosition page,
                                 int pageWidth, int pageHeight, int boxWidth, int boxHeight) {
    const int gap = 8;
    PagePosition p;
    p.x = page.x + (pageWidth - boxWidth) / 2;
    if (p.x + boxWidth > screenWidth) p.x = screenWidth - boxWidth;
    if (p.x < 0) p.x = 0;
    p.y = page.y + pageHeight + gap;
    if (p.y + boxHeight <= screenHeight) return p;
    p.y = page.y - gap - boxHeight;
    if (p.y >= 0) return p;
    p.x = (screenWidth - boxWidth) / 2;
    p.y = (screenHeight - boxHeight) / 2;
    return p;
}

int FormatPageTemplate(char* out, size_t outSize, const char* text, const char* productName) {
    if (outSize == 0) return 0;
    size_t used = 0;
    int substituted = 0;
    for (const char* p = text; *p; ++p) {
        const char* piece = p;
        size_t pieceLength = 1;
        if (!substituted && p[0] == '%' && p[1] == 's') {
            piece = productName;
            pieceLength = 0;
            while (productName[pieceLength]) ++pieceLength;
            substituted = 1;
            ++p;
        }
        if (pieceLength >= outSize - used) {
            out[0] = '\0';
            return 0;
        }
        for (size_t i = 0; i < pieceLength; ++i) out[used++] = piece[i];
    }
    out[used] = '\0';
    return 1;
}
