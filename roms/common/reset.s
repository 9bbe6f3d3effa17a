; Power-on sequence shared by every cartridge: quiet the picture processor, wait for it to come up,
; clear the RAM, hide all sprites of the shadow page and hand over to the cartridge's `main`.
; Also the vector table (each cartridge exports `nmi` and `irq`) and the end of a test.

.include "nes.inc"

.import main, nmi, irq

.segment "CODE"

reset:
    sei
    cld
    ldx #$FF
    txs
    inx
    stx PPUCTRL             ; no NMI
    stx PPUMASK             ; no rendering
    stx APUSTATUS           ; all sound channels off
    lda #$40
    sta JOY2                ; $4017: no frame interrupt from the sound chip
    jsr wait_vblank

    txa
@clear:
    sta $0000,x
    sta $0100,x
    sta $0300,x
    sta $0400,x
    sta $0500,x
    sta $0600,x
    sta $0700,x
    inx
    bne @clear
    lda #$FF                ; Y = $FF puts a sprite below the picture
@hide:
    sta OAM_SHADOW,x
    inx
    bne @hide

    jsr wait_vblank
    jmp main

; Returns at the next start of vertical blank (reading $2002 also clears the write toggle).
wait_vblank:
    bit PPUSTATUS
    bpl wait_vblank
    rts

; Ends a test: RESULT = $01, then idles for good.
report_pass:
    lda #RESULT_PASS
    sta RESULT
@idle:
    jmp @idle

; Ends a test with check number A (1-127) failed: RESULT = $80 + A, then idles for good.
report_fail:
    ora #$80
    sta RESULT
@idle:
    jmp @idle

.segment "VECTORS"
    .word nmi, reset, irq
