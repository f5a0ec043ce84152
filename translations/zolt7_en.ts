<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>COptionPsetDlg</name>
    <message>
        <source>Date Format</source>
        <translation>Date Format</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Data Display</source>
        <translation>Data Display</translation>
    </message>
    <message>
        <source>Rows per sheet</source>
        <translation>Rows per sheet</translation>
    </message>
    <message>
        <source>Data Save</source>
        <translation>Data Save</translation>
    </message>
    <message>
        <source>Photo Save</source>
        <translation>Photo Save</translation>
    </message>
    <message>
        <source>Photo Save Yes</source>
        <translation>Photo Save Yes</translation>
    </message>
    <message>
        <source>Photo Save No</source>
        <translation>Photo Save No</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>As the system</source>
        <translation>As the system</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Korean</translation>
    </message>
    <message>
        <source>Applies when the program starts again.</source>
        <translation>Applies when the program starts again.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>The settings</translation>
    </message>
    <message>
        <source>It can't save file </source>
        <translation>It can't save file </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>CReadDeviceDlg</name>
    <message>
        <source>%1 photograph(s) could not be copied, the first %2 (%3). The archive was not saved.</source>
        <translation>%1 photograph(s) could not be copied, the first %2 (%3). The archive was not saved.</translation>
    </message>
    <message>
        <source>처리오류</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>해당 파일을 저장할 수 없습니다. </source>
        <translation>It can't save file </translation>
    </message>
</context>
<context>
    <name>CSearchDataDlg</name>
    <message>
        <source>It can't save file </source>
        <translation>It can't save file </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Fail to save</source>
        <translation>Fail to save</translation>
    </message>
</context>
<context>
    <name>CVelmoraViewDlg</name>
    <message>
        <source>VelmoraView 정보(&amp;A)...</source>
        <translation>&amp;About VelmoraView...</translation>
    </message>
</context>
<context>
    <name>records::RecordExcel</name>
    <message>
        <source>해당 파일을 저장할 수 없습니다. </source>
        <translation>It can't save file </translation>
    </message>
    <message>
        <source>처리오류</source>
        <translation>Error</translation>
    </message>
</context>
</TS>