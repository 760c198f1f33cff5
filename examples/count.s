* count.s -- count from 0 to 9 on the screen, one digit a line
*
COUT     EQU   $FDED          ; monitor: print the character in A
CROUT    EQU   $FD8E          ; monitor: print a carriage return

         ORG   $0900

START    LDY   #0             ; Y holds the count
NEXT     TYA
         ORA   #"0"           ; make it the screen code of a digit
         JSR   COUT
         JSR   CROUT
         INY
         CPY   #10
         BNE   NEXT
         RTS
