// Resource identifiers of season.exe.
#pragma once

#define IDI_SEASON 1
#define IDR_BACKGROUND 101
#define IDR_SEASON0 110 // the four season pictures follow in season order
#define IDR_CLOSE 120
#define IDR_ARROW_LEFT 121
#define IDR_ARROW_RIGHT 122
#define IDR_HELP 123
#define IDR_FLAG_DE 124
#define IDR_FLAG_EN 125
#define IDR_GLYPH_CLOSE 126
#define IDR_GLYPH_OK 127
