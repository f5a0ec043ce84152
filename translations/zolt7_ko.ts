<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="ko_KR">
<context>
    <name>COptionPsetDlg</name>
    <message>
        <source>Date Format</source>
        <translation>날짜 형식</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>표시</translation>
    </message>
    <message>
        <source>Data Display</source>
        <translation>데이터 표시</translation>
    </message>
    <message>
        <source>Rows per sheet</source>
        <translation>시트당 행 수</translation>
    </message>
    <message>
        <source>Data Save</source>
        <translation>데이터 저장</translation>
    </message>
    <message>
        <source>Photo Save</source>
        <translation>사진 저장</translation>
    </message>
    <message>
        <source>Photo Save Yes</source>
        <translation>사진 저장 예</translation>
    </message>
    <message>
        <source>Photo Save No</source>
        <translation>사진 저장 아니요</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>언어</translation>
    </message>
    <message>
        <source>As the system</source>
        <translation>시스템 설정에 따름</translation>
    </message>
    <message>
        <source>English</source>
        <translation>영어</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>한국어</translation>
    </message>
    <message>
        <source>Applies when the program starts again.</source>
        <translation>프로그램을 다시 시작하면 적용됩니다.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>예</translation>
    </message>
    <message>
        <source>No</source>
        <translation>아니요</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>It can't save file </source>
        <translation>파일을 저장할 수 없습니다: </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
</context>
<context>
    <name>CReadDeviceDlg</name>
    <message>
        <source>%1 photograph(s) could not be copied, the first %2 (%3). The archive was not saved.</source>
        <translation>사진 %1장을 복사하지 못했습니다. 첫 번째: %2 (%3). 보관 파일을 저장하지 않았습니다.</translation>
    </message>
    <message>
        <source>처리오류</source>
        <translation>처리오류</translation>
    </message>
    <message>
        <source>해당 파일을 저장할 수 없습니다. </source>
        <translation>해당 파일을 저장할 수 없습니다. </translation>
    </message>
</context>
<context>
    <name>CSearchDataDlg</name>
    <message>
        <source>It can't save file </source>
        <translation>파일을 저장할 수 없습니다: </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>Fail to save</source>
        <translation>저장하지 못했습니다:</translation>
    </message>
</context>
<context>
    <name>CVelmoraViewDlg</name>
    <message>
        <source>VelmoraView 정보(&amp;A)...</source>
        <translation>VelmoraView 정보(&amp;A)...</translation>
    </message>
</context>
<context>
    <name>records::RecordExcel</name>
    <message>
        <source>해당 파일을 저장할 수 없습니다. </source>
        <translation>해당 파일을 저장할 수 없습니다. </translation>
    </message>
    <message>
        <source>처리오류</source>
        <translation>처리오류</translation>
    </message>
</context>
</TS>