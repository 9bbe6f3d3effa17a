; The kick drum's DMC sample, written by tools/dmc-kick.py (do not edit by hand).
; The DMC reads samples from $C000 on, at multiples of 64 bytes: segment DPCM.

.export kick_sample

.segment "DPCM"

kick_sample:
    .byte $DA, $B6, $DB, $DD, $BB, $BB, $DB, $6D, $4D, $49, $4A, $92, $44, $92, $24, $25
    .byte $29, $A5, $54, $A9, $AA, $AA, $5A, $B5, $5A, $6B, $AD, $AD, $B5, $B5, $B6, $D6
    .byte $5A, $AD, $56, $AB, $6A, $55, $55, $55, $A5, $AA, $54, $A9, $52, $A9, $54, $4A
    .byte $A5, $52, $A9, $54, $AA, $54, $A9, $2A, $55, $55, $A9, $AA, $AA, $AA, $56, $55
    .byte $D5, $AA, $6A, $55, $AB, $6A, $D5, $AA, $56, $B5, $AA, $55, $B5, $AA, $5A, $55
    .byte $B5, $AA, $AA, $AA, $55, $55, $55, $55, $55, $A5, $AA, $AA, $AA, $52, $55, $55
    .byte $A9, $AA, $52, $55, $95, $AA, $AA, $54, $55, $A5, $AA, $AA, $52, $55, $55, $55
    .byte $A9, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $5A, $55, $55, $55
    .byte $55, $AB, $AA, $AA, $AA, $56, $55, $55, $D5, $AA, $AA, $AA, $AA, $56, $55, $55
    .byte $55, $55, $55, $B5, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA
    .byte $54, $55, $55, $55, $55, $55, $55, $55, $AA, $AA, $AA, $AA, $AA, $AA, $52, $55
    .byte $55, $55, $55, $55, $55, $55, $A5, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA
    .byte $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA, $6A, $55, $55, $55, $55, $55
    .byte $55, $55, $55, $55, $55, $D5, $AA, $AA, $4A, $55, $A9, $AA, $54, $95, $AA, $54
    .byte $95, $AA, $52, $95, $AA, $52, $95, $AA, $52, $95, $AA, $54, $95, $AA, $54, $95
    .byte $AA
