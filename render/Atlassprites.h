#pragma once
// Star sprites and deep-sky symbols of the star atlas.
//
// A sprite is a square of cells, one string per row, each cell a level:
// '0' leaves the pixel, '1' core, '2' rim, '3' faint edge (coloured by the
// star's spectral class). Sprites of odd size n = 2k + 1 are centred with
// cell (c, r) at (px + c - k, py + r - k); the one 4 x 4 sprite puts cell
// (c, r) at (px + c - 1, py + r - 1).

namespace quenlira::sprites {

// clang-format off
struct Sprite {
    int size;
    const char* const* rows;
};

// Realistic set (the "realistic colours" switch on), classes 0-12.
inline constexpr const char* kReal0[] = {
    "00003000000000000",
    "00000000000000000",
    "00000200000000000",
    "00000323333000000",
    "00003322223330003",
    "00003211112233200",
    "00033211111122000",
    "00032111111123000",
    "00032111111123000",
    "00032111111123000",
    "00022111111233000",
    "00233321111230000",
    "30003332222330000",
    "00000033332300000",
    "00000000000200000",
    "00000000000000000",
    "00000000000030000",
};
inline constexpr const char* kReal1[] = {
    "0000300000000",
    "0000333333000",
    "0003222223000",
    "0332211222300",
    "0322111112233",
    "0322111111230",
    "0321111111230",
    "0321111112230",
    "3322111112230",
    "0032221122330",
    "0003222223000",
    "0003333330000",
    "0000000030000",
};
inline constexpr const char* kReal2[] = {
    "00003330000",
    "00332223300",
    "03222222230",
    "03221112230",
    "32211111223",
    "32211111223",
    "32211111223",
    "03221112230",
    "03222222230",
    "00332223300",
    "00003330000",
};
inline constexpr const char* kReal3[] = {
    "000333000",
    "033222330",
    "032111230",
    "321111123",
    "321111123",
    "321111123",
    "032111230",
    "033222330",
    "000333000",
};
inline constexpr const char* kReal4[] = {
    "0033300",
    "0322230",
    "3211123",
    "3211123",
    "3211123",
    "0322230",
    "0033300",
};
inline constexpr const char* kReal5[] = {
    "03230",
    "32123",
    "21112",
    "32123",
    "03230",
};
inline constexpr const char* kReal6[] = {
    "212",
    "111",
    "212",
};
inline constexpr const char* kReal7[] = {
    "323",
    "212",
    "323",
};
inline constexpr const char* kReal8[] = {
    "020",
    "212",
    "020",
};
inline constexpr const char* kReal9[] = {
    "030",
    "313",
    "030",
};
inline constexpr const char* kDot1[] = {"1"};
inline constexpr const char* kDot2[] = {"2"};
inline constexpr const char* kDot3[] = {"3"};

// Plain set (switch off): filled discs, then small marks.
inline constexpr const char* kPlain0[] = {
    "000001111100000",
    "000111111111000",
    "001111111111100",
    "011111111111110",
    "011111111111110",
    "111111111111111",
    "111111111111111",
    "111111111111111",
    "111111111111111",
    "111111111111111",
    "011111111111110",
    "011111111111110",
    "001111111111100",
    "000111111111000",
    "000001111100000",
};
inline constexpr const char* kPlain1[] = {
    "0000111110000",
    "0011111111100",
    "0111111111110",
    "0111111111110",
    "1111111111111",
    "1111111111111",
    "1111111111111",
    "1111111111111",
    "1111111111111",
    "0111111111110",
    "0111111111110",
    "0011111111100",
    "0000111110000",
};
inline constexpr const char* kPlain2[] = {
    "00001110000",
    "00111111100",
    "01111111110",
    "01111111110",
    "11111111111",
    "11111111111",
    "11111111111",
    "01111111110",
    "01111111110",
    "00111111100",
    "00001110000",
};
inline constexpr const char* kPlain3[] = {
    "000111000",
    "011111110",
    "011111110",
    "111111111",
    "111111111",
    "111111111",
    "011111110",
    "011111110",
    "000111000",
};
inline constexpr const char* kPlain4[] = {
    "0011100",
    "0111110",
    "1111111",
    "1111111",
    "1111111",
    "0111110",
    "0011100",
};
inline constexpr const char* kPlain5[] = {
    "01110",
    "11111",
    "11111",
    "11111",
    "01110",
};
inline constexpr const char* kPlain6[] = {
    "0110",
    "1111",
    "1111",
    "0110",
};
inline constexpr const char* kPlain7[] = {
    "313",
    "111",
    "313",
};

inline constexpr Sprite kRealistic[13] = {
    {17, kReal0}, {13, kReal1}, {11, kReal2}, {9, kReal3}, {7, kReal4}, {5, kReal5}, {3, kReal6},
    {3, kReal7},  {3, kReal8},  {3, kReal9},  {1, kDot1},  {1, kDot2},  {1, kDot3}};
inline constexpr Sprite kPlain[13] = {{15, kPlain0}, {13, kPlain1}, {11, kPlain2}, {9, kPlain3},
                                      {7, kPlain4},  {5, kPlain5},  {4, kPlain6},  {3, kPlain7},
                                      {3, kReal8},   {3, kReal9},   {1, kDot1},    {1, kDot1},
                                      {1, kDot2}};

// Deep-sky symbols, 10 columns x 9 rows, '#' set; cell (c, r) at (px + c - 4, py + r - 4).
inline constexpr const char* kSymbols[6][9] = {
    {"..........", "..######..", ".##....##.", "#........#", "#........#", ".##....##.",
     "..######..", "..........", ".........."},
    {".#####....", "#....##...", "#......#..", "##.....#..", ".##...##..", ".#.....##.",
     ".#......#.", "..##....#.", "...#####.."},
    {"..#####...", ".##...##..", "##.###.##.", "#.#...#.#.", "#.#...#.#.", "#.#...#.#.",
     "##.###.##.", ".##...##..", "..#####..."},
    {"##........", "##..##....", "....##....", ".......##.", "##..##.##.", "##..##....",
     "..........", "...##..##.", "...##..##."},
    {"..#.#.#...", "..#.#.#...", "##.#.#.##.", "..#####...", "##.###.##.", "..#####...",
     "##.#.#.##.", "..#.#.#...", "..#.#.#..."},
    {"..#####...", ".##...##..", "##.....##.", "#.......#.", "#.......#.", "#.......#.",
     "##.....##.", ".##...##..", "..#####..."}};

// clang-format on

// Deep-sky object type to symbol.
inline int SymbolOfType(int type) {
    switch (type) {
    case 1:
        return 0;
    case 2:
    case 6:
        return 3;
    case 3:
        return 4;
    case 4:
        return 1;
    case 5:
        return 2;
    default:
        return 5;
    }
}

} // namespace quenlira::sprites
