<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>LossTexts</name>
    <message numerus="yes">
        <source>The character %1 cannot be written to a Torvane config file at all (nor can %2 other(s)). Replace or remove it, then save again.</source>
        <translation>
            <numerusform>The character %1 cannot be written to a Torvane config file at all (nor can %2 other). Replace or remove it, then save again.</numerusform>
            <numerusform>The character %1 cannot be written to a Torvane config file at all (nor can %2 others). Replace or remove it, then save again.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 character(s) of this text will not come back when the file is opened again: a Torvane config file drops or changes them.

%2

Replace them with the nearest characters that the file keeps and save, save the text as it is, or cancel?</source>
        <translation>
            <numerusform>%1 character of this text will not come back when the file is opened again: a Torvane config file drops or changes it.

%2

Replace it with the nearest character that the file keeps and save, save the text as it is, or cancel?</numerusform>
            <numerusform>%1 characters of this text will not come back when the file is opened again: a Torvane config file drops or changes them.

%2

Replace them with the nearest characters that the file keeps and save, save the text as it is, or cancel?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 position(s) of this file cannot be shown: deciphering drops or changes them. Saving will rewrite the file without them.</source>
        <translation>
            <numerusform>%1 position of this file cannot be shown: deciphering drops or changes it. Saving will rewrite the file without it.</numerusform>
            <numerusform>%1 positions of this file cannot be shown: deciphering drops or changes them. Saving will rewrite the file without them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>When this file was opened, %1 position(s) of it could not be shown. Saving now rewrites the file without them. Save it anyway?</source>
        <translation>
            <numerusform>When this file was opened, %1 position of it could not be shown. Saving now rewrites the file without it. Save it anyway?</numerusform>
            <numerusform>When this file was opened, %1 positions of it could not be shown. Saving now rewrites the file without them. Save it anyway?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 character(s) will not survive saving</source>
        <translation>
            <numerusform>%1 character will not survive saving</numerusform>
            <numerusform>%1 characters will not survive saving</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmDocument</name>
    <message numerus="yes">
        <source><byte value="xd"/>
<byte value="xd"/>
%n more open file(s) have been changed too.</source>
        <translation>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
%n more open file has been changed too.</numerusform>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
%n more open files have been changed too.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n characters will not survive saving; F8 goes to the next one.</source>
        <translation>
            <numerusform>%n character will not survive saving; F8 goes to it.</numerusform>
            <numerusform>%n characters will not survive saving; F8 goes to the next one.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmHelp</name>
    <message numerus="yes">
        <source>%n match(es)</source>
        <translation>
            <numerusform>%n match</numerusform>
            <numerusform>%n matches</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message numerus="yes">
        <source><byte value="xd"/>
<byte value="xd"/>
%n more changed document(s) were not saved either.</source>
        <translation>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
One more changed document was not saved either.</numerusform>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
%n more changed documents were not saved either.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n open file(s) have been deleted or moved by another program:<byte value="xd"/>
%1<byte value="xd"/>
Their texts stay open here; Save writes each back.</source>
        <translation>
            <numerusform>%n open file has been deleted or moved by another program:<byte value="xd"/>
%1<byte value="xd"/>
Its text stays open here; Save writes it back.</numerusform>
            <numerusform>%n open files have been deleted or moved by another program:<byte value="xd"/>
%1<byte value="xd"/>
Their texts stay open here; Save writes each back.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replaced %n occurrence(s) of &quot;%1&quot;.</source>
        <translation>
            <numerusform>Replaced %n occurrence of &quot;%1&quot;.</numerusform>
            <numerusform>Replaced %n occurrences of &quot;%1&quot;.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>There is no line %1: the document has %n line(s).</source>
        <translation>
            <numerusform>There is no line %1: the document has %n line.</numerusform>
            <numerusform>There is no line %1: the document has %n lines.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmProperties</name>
    <message numerus="yes">
        <source>%n character(s)</source>
        <translation>
            <numerusform>%n character</numerusform>
            <numerusform>%n characters</numerusform>
        </translation>
    </message>
</context>
</TS>
