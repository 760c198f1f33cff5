* hello.s -- print a greeting on the 40-column screen
*
COUT     EQU   $FDED          ; monitor: print the character in A
CROUT    EQU   $FD8E          ; monitor: print a carriage return

         ORG   $0803

START    LDX   #0
LOOP     LDA   MSG,X          ; next character of the greeting
         BEQ   DONE           ; a zero byte ends the text
         JSR   COUT
         INX
         BNE   LOOP
DONE     JSR   CROUT
         RTS

MSG      ASC   "HELLO,  WORLD!"
         DFB   $00
