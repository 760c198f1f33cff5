* beep.s -- sound the speaker until a key is pressed; Esc ends
*
KBD      EQU  $C000           ; keyboard data, bit 7 set on a key
KBDSTRB  EQU  $C010           ; any access clears the key
SPKR     EQU  $C030           ; any access clicks the speaker
WAIT     EQU  $FCA8           ; monitor: delay by the value in A
COUT     EQU  $FDED           ; monitor: print the character in A
L0300    EQU  $0300           ; pitch, one byte per note
L0301    EQU  $0301
;
         ORG  $0803
START    LDY  #0
         BIT  KBDSTRB
NOTE     LDX  L0300
CLICK    LDA  SPKR
         LDA  PITCH,Y
         JSR  WAIT
         DEX
         BNE  CLICK
         INY
         CPY  #8
         BCC  NOTE
         LDY  #0
         LDA  KBD
         BPL  NOTE
         BIT  KBDSTRB
         CMP  #$9B
         BEQ  QUIT
         JSR  COUT
         JMP  NOTE
QUIT     RTS
HIGH     HEX  08090A0B
PITCH    HEX  1C1A1816
         HEX  14121110
