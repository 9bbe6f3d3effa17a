; Pattern data shared by the test cartridges. Both pattern halves hold the same tiles, so a test
; may pick either half for the background or the sprites.

.include "chr.inc"

.macro test_tiles
    ; $00: blank
    .res 16, 0
    ; $01-$03: solid colour 1, 2 and 3
    .byte $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF, $00,$00,$00,$00,$00,$00,$00,$00
    .byte $00,$00,$00,$00,$00,$00,$00,$00, $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
    .byte $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF, $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
    ; $04: a ring in colour 3, transparent inside and at the corners
    px "..3333.."
    px ".3....3."
    px "3......3"
    px "3......3"
    px "3......3"
    px "3......3"
    px ".3....3."
    px "..3333.."
.endmacro

.segment "CHARS"
    test_tiles
    .res $1000 - 5 * 16, 0
    test_tiles
