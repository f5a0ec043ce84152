<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="ko_KR">
<context>
    <name>CCaptureDlg</name>
    <message>
        <source>Measure</source>
        <translation>측정</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>User Information</source>
        <translation>사용자 정보</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>저장되지 않음</translation>
    </message>
</context>
<context>
    <name>CDataSearchDlg</name>
    <message>
        <source>Test No</source>
        <translation>측정 번호</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>날짜</translation>
    </message>
    <message>
        <source>ID / Name</source>
        <translation>ID / 이름</translation>
    </message>
    <message>
        <source>Test Result - Normal</source>
        <translation>측정 결과 - 정상</translation>
    </message>
    <message>
        <source>Test Result - Error</source>
        <translation>측정 결과 - 오류</translation>
    </message>
    <message>
        <source>Data Search</source>
        <translation>데이터 검색</translation>
    </message>
    <message>
        <source>Test number from</source>
        <translation>측정 번호 시작</translation>
    </message>
    <message>
        <source>Test number to</source>
        <translation>측정 번호 끝</translation>
    </message>
    <message>
        <source>Date from</source>
        <translation>시작 날짜</translation>
    </message>
    <message>
        <source>Date to</source>
        <translation>끝 날짜</translation>
    </message>
    <message>
        <source>ID or name</source>
        <translation>ID 또는 이름</translation>
    </message>
    <message>
        <source>Result from</source>
        <translation>결과 최솟값</translation>
    </message>
    <message>
        <source>Result to</source>
        <translation>결과 최댓값</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
</context>
<context>
    <name>CIDentry</name>
    <message>
        <source>Identification</source>
        <translation>신원 확인</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>ID or Name</source>
        <translation>ID 또는 이름</translation>
    </message>
    <message>
        <source>ID or name</source>
        <translation>ID 또는 이름</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>CMessageBox3Dlg</name>
    <message>
        <source>Loading data, just a moment please.</source>
        <translation>데이터를 불러오는 중입니다. 잠시만 기다려 주십시오.</translation>
    </message>
</context>
<context>
    <name>CMessageBoxDlg</name>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
</context>
<context>
    <name>CNotice</name>
    <message>
        <source>Setting Success</source>
        <translation>설정 완료</translation>
    </message>
    <message>
        <source>Setting is complete.</source>
        <translation>설정이 완료되었습니다.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>경고</translation>
    </message>
    <message>
        <source>Existing user data will be deleted.
Do you still want to proceed?</source>
        <translation>기존 사용자 데이터가 삭제됩니다.
계속하시겠습니까?</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>카메라</translation>
    </message>
    <message>
        <source>Please hold on a minute. Waiting for the camera</source>
        <translation>잠시 기다려 주십시오. 카메라를 기다리는 중입니다</translation>
    </message>
    <message>
        <source>Camera setting is being applied...</source>
        <translation>카메라 설정을 적용하는 중...</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>Loading setting values...</source>
        <translation>설정값을 불러오는 중...</translation>
    </message>
    <message>
        <source>Registration</source>
        <translation>등록</translation>
    </message>
    <message>
        <source>User data is currently being registered...</source>
        <translation>사용자 데이터를 등록하는 중...</translation>
    </message>
    <message>
        <source>The memory on ZOLT7 is almost full.
Please save the data on your computer immediately.</source>
        <translation>ZOLT7의 메모리가 거의 가득 찼습니다.
지금 바로 데이터를 컴퓨터에 저장하십시오.</translation>
    </message>
    <message>
        <source>ID or Name recognition</source>
        <translation>ID 또는 이름 인식</translation>
    </message>
    <message>
        <source>Please check your ID or name.</source>
        <translation>ID 또는 이름을 확인하십시오.</translation>
    </message>
    <message>
        <source>Communication Status</source>
        <translation>통신 상태</translation>
    </message>
    <message>
        <source>Please check the communication status of the device.</source>
        <translation>측정기의 통신 상태를 확인하십시오.</translation>
    </message>
    <message>
        <source>Fail to open port(USB)</source>
        <translation>포트(USB)를 열 수 없습니다</translation>
    </message>
    <message>
        <source>Setting Error</source>
        <translation>설정 오류</translation>
    </message>
    <message>
        <source>The server address is incorrect.
Please check the server address.</source>
        <translation>서버 주소가 올바르지 않습니다.
서버 주소를 확인하십시오.</translation>
    </message>
    <message>
        <source>Wrong password.
Please check the password.</source>
        <translation>비밀번호가 틀렸습니다.
비밀번호를 확인하십시오.</translation>
    </message>
    <message>
        <source>Please check the server address and password.
The associated setting is set to the default value.</source>
        <translation>서버 주소와 비밀번호를 확인하십시오.
관련 설정이 기본값으로 설정되었습니다.</translation>
    </message>
    <message>
        <source>Wrong print form setting.
Please check the print setting.</source>
        <translation>인쇄 양식 설정이 잘못되었습니다.
인쇄 설정을 확인하십시오.</translation>
    </message>
    <message>
        <source>Password Error</source>
        <translation>비밀번호 오류</translation>
    </message>
    <message>
        <source>ID recognition</source>
        <translation>ID 인식</translation>
    </message>
    <message>
        <source>ID does not exist or is wrong.
Please check the ID.</source>
        <translation>ID가 없거나 잘못되었습니다.
ID를 확인하십시오.</translation>
    </message>
    <message>
        <source>Name recognition</source>
        <translation>이름 인식</translation>
    </message>
    <message>
        <source>Name does not exist or is wrong.
Please check the Name.</source>
        <translation>이름이 없거나 잘못되었습니다.
이름을 확인하십시오.</translation>
    </message>
    <message>
        <source>Card recognition</source>
        <translation>카드 인식</translation>
    </message>
    <message>
        <source>Card recognition failed.</source>
        <translation>카드를 인식하지 못했습니다.</translation>
    </message>
    <message>
        <source>Camera setting change detected.
Changing the camera setting...</source>
        <translation>카메라 설정 변경이 감지되었습니다.
카메라 설정을 변경하는 중...</translation>
    </message>
    <message>
        <source>Please check the camera setting.</source>
        <translation>카메라 설정을 확인하십시오.</translation>
    </message>
    <message>
        <source>Please check the communication status of the bio-reader.</source>
        <translation>생체 인식기의 통신 상태를 확인하십시오.</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>데이터</translation>
    </message>
    <message>
        <source>Duplicate user ID or name.
Please check the following information :
 %s</source>
        <translation>사용자 ID 또는 이름이 중복됩니다.
다음 정보를 확인하십시오:
 %s</translation>
    </message>
    <message>
        <source>Number of characters exceeded the limit.
Please check the following information :
 %s</source>
        <translation>글자 수가 제한을 넘었습니다.
다음 정보를 확인하십시오:
 %s</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>COptionCameraDlg</name>
    <message>
        <source>Camera</source>
        <translation>카메라</translation>
    </message>
    <message>
        <source>Webcam Use</source>
        <translation>웹캠 사용</translation>
    </message>
    <message>
        <source>CAM %1</source>
        <translation>카메라 %1</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>설정</translation>
    </message>
</context>
<context>
    <name>COptionDeviceDlg</name>
    <message>
        <source>Device</source>
        <translation>측정기</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>단위</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>하한</translation>
    </message>
    <message>
        <source>High</source>
        <translation>상한</translation>
    </message>
    <message>
        <source>Test counts</source>
        <translation>측정 횟수</translation>
    </message>
</context>
<context>
    <name>COptionDlg</name>
    <message>
        <source>Settings</source>
        <translation>설정</translation>
    </message>
</context>
<context>
    <name>COptionHelpDlg</name>
    <message>
        <source>Password</source>
        <translation>비밀번호</translation>
    </message>
    <message>
        <source>Password to change</source>
        <translation>변경할 비밀번호</translation>
    </message>
    <message>
        <source>Re-enter password to change</source>
        <translation>변경할 비밀번호 다시 입력</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Password change error</source>
        <translation>비밀번호 변경 오류</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>The new password</source>
        <translation>새 비밀번호</translation>
    </message>
    <message>
        <source>Password change success</source>
        <translation>비밀번호가 변경되었습니다</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>성공</translation>
    </message>
</context>
<context>
    <name>COptionIDMngDlg</name>
    <message>
        <source>%1 (row %2)</source>
        <translation>%1 (%2행)</translation>
    </message>
    <message>
        <source>Register or Delete</source>
        <translation>등록 및 삭제</translation>
    </message>
    <message>
        <source>Total User</source>
        <translation>전체 사용자</translation>
    </message>
    <message>
        <source>Registered users</source>
        <translation>등록된 사용자</translation>
    </message>
    <message>
        <source>Seq No.</source>
        <translation>번호</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>수정</translation>
    </message>
    <message>
        <source>Creation Date</source>
        <translation>등록 날짜</translation>
    </message>
    <message>
        <source>User ID</source>
        <translation>사용자 ID</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>사용자 이름</translation>
    </message>
    <message>
        <source>Register ID</source>
        <translation>ID 등록</translation>
    </message>
    <message>
        <source>Load file</source>
        <translation>파일 불러오기</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>다른 이름으로 저장</translation>
    </message>
    <message>
        <source>Delete All</source>
        <translation>전체 삭제</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>The register is full: %1 users are registered.
Please delete a user before registering a new one.</source>
        <translation>사용자 명부가 가득 찼습니다: 사용자 %1명이 등록되어 있습니다.
새 사용자를 등록하려면 먼저 사용자를 삭제하십시오.</translation>
    </message>
    <message>
        <source>The user list</source>
        <translation>사용자 목록</translation>
    </message>
    <message>
        <source>Please check the checkbox you want to delete ID </source>
        <translation>삭제할 ID의 확인란을 선택하십시오.</translation>
    </message>
    <message>
        <source>ID Delete</source>
        <translation>ID 삭제</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the checked ID?</source>
        <translation>선택한 ID를 삭제하시겠습니까?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all user?</source>
        <translation>모든 사용자를 삭제하시겠습니까?</translation>
    </message>
    <message>
        <source>All Delete</source>
        <translation>전체 삭제</translation>
    </message>
    <message>
        <source>It failed to save </source>
        <translation>저장하지 못했습니다.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>Existing user data will be deleted.
Do you still want to proceed?</source>
        <translation>기존 사용자 데이터가 삭제됩니다.
계속하시겠습니까?</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>경고</translation>
    </message>
    <message>
        <source>The file could not be opened.
The user list is unchanged.</source>
        <translation>파일을 열 수 없습니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
    <message>
        <source>The file is too large to be a user list.
The user list is unchanged.</source>
        <translation>파일이 너무 커서 사용자 목록으로 볼 수 없습니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
    <message>
        <source>The file is not a readable .xlsx workbook.
The user list is unchanged.</source>
        <translation>읽을 수 있는 .xlsx 통합 문서가 아닙니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
    <message>
        <source>There are same Name or ID 
 =&gt; %1</source>
        <translation>같은 이름 또는 ID가 있습니다.
 =&gt; %1</translation>
    </message>
    <message>
        <source>The ID or name on row %1 holds a control character or bytes that are not text.
The user list is unchanged.</source>
        <translation>%1행의 ID 또는 이름에 제어 문자나 텍스트가 아닌 바이트가 있습니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
    <message>
        <source>The name %1 has no ID beside it.
The user list is unchanged.</source>
        <translation>이름 %1 옆에 ID가 없습니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
    <message>
        <source>The file holds more users than can be registered (at most %1).
The user list is unchanged.</source>
        <translation>파일의 사용자가 등록할 수 있는 수(최대 %1명)보다 많습니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
    <message>
        <source>No "User ID" header was found in the file.
The user list is unchanged.</source>
        <translation>파일에서 "User ID" 머리글을 찾을 수 없습니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
    <message>
        <source>The file holds no users.
The user list is unchanged.</source>
        <translation>파일에 사용자가 없습니다.
사용자 목록은 바뀌지 않았습니다.</translation>
    </message>
</context>
<context>
    <name>COptionPrintDlg</name>
    <message>
        <source>Wrong print form setting.
Please check the print setting.</source>
        <translation>인쇄 양식 설정이 잘못되었습니다.
인쇄 설정을 확인하십시오.</translation>
    </message>
    <message>
        <source>Print Setting</source>
        <translation>인쇄 설정</translation>
    </message>
    <message>
        <source>Print Background</source>
        <translation>인쇄 배경</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>기본</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>빈 용지</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>사용자 지정</translation>
    </message>
    <message>
        <source>Print Background Path</source>
        <translation>인쇄 배경 경로</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Print Entry Information</source>
        <translation>인쇄 항목 정보</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>Image File (*.jpg)</source>
        <translation>이미지 파일 (*.jpg)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>Complete.</source>
        <translation>완료되었습니다.</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>성공</translation>
    </message>
    <message>
        <source>Complete.
Shortened to fit the settings: %1.</source>
        <translation>완료되었습니다.
설정에 맞게 줄였습니다: %1.</translation>
    </message>
</context>
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
    <name>CPassword</name>
    <message>
        <source>Password</source>
        <translation>비밀번호</translation>
    </message>
    <message>
        <source>Enter the administrator password.</source>
        <translation>관리자 비밀번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>CProgressBar</name>
    <message>
        <source>Checking to save data...</source>
        <translation>데이터 저장을 확인하는 중...</translation>
    </message>
    <message>
        <source>Photo Save Total:%1, Current :%2(%3%)</source>
        <translation>사진 저장 전체:%1, 현재 :%2(%3%)</translation>
    </message>
    <message>
        <source>Checking to save xlsx data...</source>
        <translation>xlsx 데이터 저장을 확인하는 중...</translation>
    </message>
    <message>
        <source>Data saving part of the entire data set... :%1(%2%)</source>
        <translation>전체 데이터 중 일부를 저장하는 중... :%1(%2%)</translation>
    </message>
    <message>
        <source>.xlsx Data Save Total:%1, Current :%2(%3%)</source>
        <translation>.xlsx 데이터 저장 전체:%1, 현재 :%2(%3%)</translation>
    </message>
    <message>
        <source>Preparing to display...</source>
        <translation>표시를 준비하는 중...</translation>
    </message>
    <message>
        <source>Total:%1 (%2-%3), Current :%4(%5%)</source>
        <translation>전체:%1 (%2-%3), 현재 :%4(%5%)</translation>
    </message>
    <message>
        <source>Total:%1, Current :%2(%3%)</source>
        <translation>전체:%1, 현재 :%2(%3%)</translation>
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
    <message>
        <source>Records</source>
        <translation>기록</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>데이터</translation>
    </message>
    <message>
        <source>Test records</source>
        <translation>측정 기록</translation>
    </message>
    <message>
        <source>Check all</source>
        <translation>전체 검증</translation>
    </message>
    <message>
        <source>Device information</source>
        <translation>측정기 정보</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>측정기 상태</translation>
    </message>
    <message>
        <source>Calibration Requirements</source>
        <translation>교정 요구 사항</translation>
    </message>
    <message>
        <source>Test count</source>
        <translation>측정 횟수</translation>
    </message>
    <message>
        <source>Limit level</source>
        <translation>제한 수준</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>dat File(*.dat);;All Files (*.*)</source>
        <translation>dat 파일(*.dat);;모든 파일 (*.*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>열기</translation>
    </message>
    <message>
        <source>data File (*.dat)</source>
        <translation>데이터 파일 (*.dat)</translation>
    </message>
    <message>
        <source>Data File Mismatch</source>
        <translation>데이터 파일이 맞지 않습니다</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>The test log %1 could not be read back (%2). It is shown empty and read-only: no test is stored in it until the program is started again.</source>
        <translation>측정 기록 파일 %1을(를) 다시 읽을 수 없습니다(%2). 빈 상태의 읽기 전용으로 표시되며, 프로그램을 다시 시작할 때까지 측정이 저장되지 않습니다.</translation>
    </message>
    <message>
        <source>Data files</source>
        <translation>데이터 파일</translation>
    </message>
</context>
<context>
    <name>CRegUserDlg</name>
    <message>
        <source>Registration</source>
        <translation>사용자 등록</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>The user list was replaced while this window was open.
The change was not stored.</source>
        <translation>이 창이 열려 있는 동안 사용자 목록이 바뀌었습니다.
변경 내용은 저장되지 않았습니다.</translation>
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
    <message>
        <source>Searching Data</source>
        <translation>데이터 검색 결과</translation>
    </message>
    <message>
        <source>Search results</source>
        <translation>검색 결과</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>dat File(*.dat);;All Files (*.*)</source>
        <translation>dat 파일(*.dat);;모든 파일 (*.*)</translation>
    </message>
    <message>
        <source>Excel Files(*.csv)</source>
        <translation>Excel 파일(*.csv)</translation>
    </message>
</context>
<context>
    <name>CSkinButton</name>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>최소화</translation>
    </message>
</context>
<context>
    <name>CSplash</name>
    <message>
        <source>Loading Program Modules ...</source>
        <translation>프로그램 모듈을 불러오는 중 ...</translation>
    </message>
    <message>
        <source>Loading Program Information ...</source>
        <translation>프로그램 정보를 불러오는 중 ...</translation>
    </message>
    <message>
        <source>Initializing USB connection ...</source>
        <translation>USB 연결을 초기화하는 중 ...</translation>
    </message>
    <message>
        <source>Breath alcohol tester companion</source>
        <translation>호흡 알코올 측정기 도우미</translation>
    </message>
</context>
<context>
    <name>CVelmoraViewApp</name>
    <message>
        <source>The program folder %1 is in use by another ZOLT7 program.
This one ends without changing anything.</source>
        <translation>프로그램 폴더 %1을(를) 다른 ZOLT7 프로그램이 사용 중입니다.
이 프로그램은 아무것도 바꾸지 않고 종료합니다.</translation>
    </message>
    <message>
        <source>The program folder cannot be locked (%1).
The program ends without changing anything.</source>
        <translation>프로그램 폴더를 잠글 수 없습니다 (%1).
프로그램은 아무것도 바꾸지 않고 종료합니다.</translation>
    </message>
    <message>
        <source>ZOLT7</source>
        <translation>ZOLT7</translation>
    </message>
</context>
<context>
    <name>CVelmoraViewDlg</name>
    <message>
        <source>VelmoraView 정보(&amp;A)...</source>
        <translation>VelmoraView 정보(&amp;A)...</translation>
    </message>
    <message>
        <source>Central records</source>
        <translation>중앙 기록</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>측정</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>기록</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>About</source>
        <translation>정보</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>연결</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>연결 해제</translation>
    </message>
    <message>
        <source>Port of the instrument</source>
        <translation>측정기의 포트</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>포트</translation>
    </message>
    <message>
        <source>Device Information</source>
        <translation>측정기 정보</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>제품</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>일련번호</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>펌웨어 버전</translation>
    </message>
    <message>
        <source>Last Calibration</source>
        <translation>최근 교정</translation>
    </message>
    <message>
        <source>ZOLT7, Version 2.0
%1</source>
        <translation>ZOLT7, 버전 2.0
%1</translation>
    </message>
    <message>
        <source>ZOLT7 Information</source>
        <translation>ZOLT7 정보</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>How to run a test</source>
        <translation>측정하는 방법</translation>
    </message>
    <message>
        <source>1.  Choose the instrument's port in the list and press Connect.</source>
        <translation>1.  목록에서 측정기의 포트를 고르고 연결을 누르십시오.</translation>
    </message>
    <message>
        <source>2.  Press Measure, then identify the person to be tested.</source>
        <translation>2.  측정을 누른 다음 측정 대상자를 확인하십시오.</translation>
    </message>
    <message>
        <source>3.  Follow the instrument: the result and a photograph are stored.</source>
        <translation>3.  측정기의 안내를 따르십시오: 결과와 사진이 저장됩니다.</translation>
    </message>
    <message>
        <source>4.  Records lists the stored tests; Settings changes the preferences.</source>
        <translation>4.  기록에서 저장된 측정을 보고, 설정에서 환경을 바꿉니다.</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>최소화</translation>
    </message>
    <message>
        <source>ZOLT7 2.0</source>
        <translation>ZOLT7 2.0</translation>
    </message>
    <message>
        <source>ZOLT7 v2.0</source>
        <translation>ZOLT7 v2.0</translation>
    </message>
</context>
<context>
    <name>CentralPage</name>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation>%1을(를) 저장할 수 없습니다: %2.</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>저장되지 않음</translation>
    </message>
    <message>
        <source>Central records</source>
        <translation>중앙 기록</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>데이터베이스</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>측정소</translation>
    </message>
    <message>
        <source>Send every stored test to the central database</source>
        <translation>저장된 모든 측정을 중앙 데이터베이스로 보내기</translation>
    </message>
    <message>
        <source>A password is never stored here: put it in ~/.pgpass (host:port:database:user:password).</source>
        <translation>비밀번호는 여기에 저장하지 않습니다: ~/.pgpass에 넣으십시오 (host:port:database:user:password).</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
</context>
<context>
    <name>GridPrint</name>
    <message>
        <source>the print job could not start</source>
        <translation>인쇄 작업을 시작할 수 없습니다</translation>
    </message>
    <message>
        <source>a page could not be printed</source>
        <translation>페이지를 인쇄할 수 없습니다</translation>
    </message>
    <message>
        <source>the print job could not be completed</source>
        <translation>인쇄 작업을 완료할 수 없습니다</translation>
    </message>
    <message>
        <source>the printer</source>
        <translation>프린터</translation>
    </message>
</context>
<context>
    <name>LastTestPanel</name>
    <message>
        <source>Last test</source>
        <translation>최근 측정</translation>
    </message>
    <message>
        <source>No result</source>
        <translation>결과 없음</translation>
    </message>
    <message>
        <source>The test ended without a result.</source>
        <translation>측정이 결과 없이 끝났습니다.</translation>
    </message>
    <message>
        <source>The test log is full.</source>
        <translation>측정 기록이 가득 찼습니다.</translation>
    </message>
    <message>
        <source>Not stored</source>
        <translation>저장되지 않음</translation>
    </message>
    <message>
        <source>Last test  No. %1  (not saved to disk)</source>
        <translation>최근 측정  번호 %1  (디스크에 저장되지 않음)</translation>
    </message>
    <message>
        <source>Last test  No. %1</source>
        <translation>최근 측정  번호 %1</translation>
    </message>
    <message>
        <source>Flow error</source>
        <translation>유량 오류</translation>
    </message>
    <message>
        <source>Photograph of test %1</source>
        <translation>측정 %1의 사진</translation>
    </message>
    <message>
        <source>The photograph of test %1 does not match its record</source>
        <translation>측정 %1의 사진이 측정 기록과 일치하지 않습니다</translation>
    </message>
    <message>
        <source>No photograph of test %1</source>
        <translation>측정 %1의 사진 없음</translation>
    </message>
</context>
<context>
    <name>MeasureGate</name>
    <message>
        <source>Connected to %1</source>
        <translation>%1에 연결됨</translation>
    </message>
    <message>
        <source>Waiting for the instrument…</source>
        <translation>측정기를 기다리는 중…</translation>
    </message>
    <message>
        <source>Not connected: choose the port and press Connect.</source>
        <translation>연결되지 않음: 포트를 고르고 연결을 누르십시오.</translation>
    </message>
    <message>
        <source>Not connected: no port found.</source>
        <translation>연결되지 않음: 포트를 찾지 못했습니다.</translation>
    </message>
</context>
<context>
    <name>MirrorDlg</name>
    <message>
        <source>Print View</source>
        <translation>인쇄 미리보기</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>지우기</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>인쇄</translation>
    </message>
    <message>
        <source>Save PDF</source>
        <translation>PDF 저장</translation>
    </message>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation>%1을(를) 저장할 수 없습니다: %2.</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>저장 안 됨</translation>
    </message>
    <message>
        <source>Prints the report.</source>
        <translation>보고서를 인쇄합니다.</translation>
    </message>
    <message>
        <source>No printer is installed: saves the report as a PDF file instead.</source>
        <translation>설치된 프린터가 없습니다: 대신 보고서를 PDF 파일로 저장합니다.</translation>
    </message>
    <message>
        <source>The report could not be printed on %1: %2.</source>
        <translation>%1에서 보고서를 인쇄할 수 없습니다: %2.</translation>
    </message>
    <message>
        <source>PDF File (*.pdf)</source>
        <translation>PDF 파일 (*.pdf)</translation>
    </message>
</context>
<context>
    <name>SealAuditDlg</name>
    <message>
        <source>Check all</source>
        <translation>전체 검증</translation>
    </message>
    <message>
        <source>none</source>
        <translation>없음</translation>
    </message>
    <message>
        <source>Accept unsealed tests below</source>
        <translation>다음 번호 미만의 봉인되지 않은 측정 허용</translation>
    </message>
    <message>
        <source>Accept unsealed tests below test number:</source>
        <translation>이 측정 번호 미만의 봉인되지 않은 측정 허용:</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>다시 검증</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>분류</translation>
    </message>
    <message>
        <source>Test No.</source>
        <translation>측정 번호</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>날짜</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>시간</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>세부 내용</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>검증 결과</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation>CSV로 저장</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Check with key sheet...</source>
        <translation>키 시트로 검증...</translation>
    </message>
    <message>
        <source>Export checkpoint...</source>
        <translation>체크포인트 내보내기...</translation>
    </message>
    <message>
        <source>Begin ledger with key sheet...</source>
        <translation>키 시트로 봉인 대장 시작...</translation>
    </message>
    <message>
        <source>Key sheet</source>
        <translation>키 시트</translation>
    </message>
    <message>
        <source>Key sheets (*.txt);;All files (*)</source>
        <translation>키 시트 (*.txt);;모든 파일 (*)</translation>
    </message>
    <message>
        <source>Code as printed</source>
        <translation>인쇄된 코드</translation>
    </message>
    <message>
        <source>Verify a printed code</source>
        <translation>인쇄된 코드 검증</translation>
    </message>
    <message>
        <source>The key sheet cannot be used:
%1</source>
        <translation>키 시트를 사용할 수 없습니다:
%1</translation>
    </message>
    <message>
        <source>Check with key sheet</source>
        <translation>키 시트로 검증</translation>
    </message>
    <message>
        <source>Checking every record and photograph of the test log against the seal ledger...</source>
        <translation>측정 기록의 모든 기록과 사진을 봉인 대장과 대조하여 검증하는 중...</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>취소되었습니다.</translation>
    </message>
    <message>
        <source>Cannot read %1</source>
        <translation>%1을(를) 읽을 수 없습니다</translation>
    </message>
    <message>
        <source>The check failed: %1</source>
        <translation>검증에 실패했습니다: %1</translation>
    </message>
    <message>
        <source>Everything verifies.</source>
        <translation>모두 검증 통과.</translation>
    </message>
    <message>
        <source>Not everything verifies.</source>
        <translation>검증되지 않은 항목이 있습니다.</translation>
    </message>
    <message>
        <source>Records: %1, ledger entries: %2, verified: %3, not sealed (CRC only): %4</source>
        <translation>기록: %1, 대장 항목: %2, 검증 통과: %3, 봉인 안 됨(CRC만): %4</translation>
    </message>
    <message>
        <source>ledger entry %1: %2</source>
        <translation>대장 항목 %1: %2</translation>
    </message>
    <message>
        <source>%1 more findings: save as CSV to see them all</source>
        <translation>검증 결과 %1건 더 있음: 모두 보려면 CSV로 저장하십시오</translation>
    </message>
    <message>
        <source>CSV Files (*.csv)</source>
        <translation>CSV 파일 (*.csv)</translation>
    </message>
    <message>
        <source>The findings could not be saved to %1:
%2</source>
        <translation>검증 결과를 %1에 저장할 수 없습니다:
%2</translation>
    </message>
    <message>
        <source>Export checkpoint</source>
        <translation>체크포인트 내보내기</translation>
    </message>
    <message>
        <source>Checkpoints (*.txt)</source>
        <translation>체크포인트 (*.txt)</translation>
    </message>
    <message>
        <source>The checkpoint could not be written to %1:
%2</source>
        <translation>체크포인트를 %1에 쓸 수 없습니다:
%2</translation>
    </message>
    <message>
        <source>The checkpoint of the seal ledger up to test %1 is in %2.

Keep it away from this computer. An audit given it (VelmoraView --audit --checkpoint FILE) fails when the program folder was later rolled back or cut short.</source>
        <translation>측정 %1까지의 봉인 대장 체크포인트가 %2에 있습니다.

이 컴퓨터와 떨어진 곳에 보관하십시오. 이 체크포인트로 감사하면(VelmoraView --audit --checkpoint FILE) 나중에 프로그램 폴더가 되돌려지거나 잘린 경우 실패합니다.</translation>
    </message>
    <message>
        <source>Begin ledger with key sheet</source>
        <translation>키 시트로 봉인 대장 시작</translation>
    </message>
    <message>
        <source>A new seal ledger begins with the next test. Its entries are signed with a key that changes after every test; the first key is written once to a key sheet and never kept on this computer.

With the sheet, an audit proves that no earlier entry was rewritten, even by someone who can change every file here. Print the sheet or copy it to a medium you keep elsewhere, then delete it from this computer.

The current ledger is kept under another name. Continue?</source>
        <translation>다음 측정부터 새 봉인 대장이 시작됩니다. 대장 항목은 측정할 때마다 바뀌는 키로 서명되며, 첫 번째 키는 키 시트에 한 번만 기록되고 이 컴퓨터에는 보관되지 않습니다.

키 시트가 있으면, 이곳의 모든 파일을 바꿀 수 있는 사람이라도 이전 항목을 다시 쓰지 않았음을 감사로 증명할 수 있습니다. 키 시트를 인쇄하거나 다른 곳에 보관하는 매체에 복사한 다음 이 컴퓨터에서 삭제하십시오.

현재 대장은 다른 이름으로 보관됩니다. 계속하시겠습니까?</translation>
    </message>
    <message>
        <source>Key sheets (*.txt)</source>
        <translation>키 시트 (*.txt)</translation>
    </message>
    <message>
        <source>No ledger was begun:
%1</source>
        <translation>봉인 대장을 시작하지 못했습니다:
%1</translation>
    </message>
    <message>
        <source>The sealed ledger begins after test %1. The key sheet is in %2; the code below holds the same text, for a phone or a printout.</source>
        <translation>봉인 대장은 측정 %1 이후부터 시작됩니다. 키 시트는 %2에 있으며, 아래 코드에도 같은 내용이 담겨 있어 휴대전화나 인쇄물로 보관할 수 있습니다.</translation>
    </message>
    <message>
        <source>Key sheet as a QR code</source>
        <translation>QR 코드로 된 키 시트</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>SettingsPages</name>
    <message>
        <source>Registration</source>
        <translation>등록</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>측정기</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>카메라</translation>
    </message>
    <message>
        <source>Print Setting</source>
        <translation>인쇄 설정</translation>
    </message>
    <message>
        <source>Program Setting</source>
        <translation>프로그램 설정</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>비밀번호</translation>
    </message>
    <message>
        <source>Central records</source>
        <translation>중앙 기록</translation>
    </message>
</context>
<context>
    <name>StoreNotices</name>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation>%1을(를) 저장할 수 없습니다: %2.</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>저장되지 않음</translation>
    </message>
    <message>
        <source>Data files</source>
        <translation>데이터 파일</translation>
    </message>
</context>
<context>
    <name>central</name>
    <message>
        <source>Central: up to date</source>
        <translation>중앙: 최신 상태</translation>
    </message>
    <message>
        <source>Central: cannot connect: %1</source>
        <translation>중앙: 연결할 수 없음: %1</translation>
    </message>
    <message>
        <source>Central: %1</source>
        <translation>중앙: %1</translation>
    </message>
    <message>
        <source>Central: %1 test waiting</source>
        <translation>중앙: 측정 %1건 대기 중</translation>
    </message>
    <message>
        <source>Central: %1 tests waiting</source>
        <translation>중앙: 측정 %1건 대기 중</translation>
    </message>
</context>
<context>
    <name>central::CentralWorker</name>
    <message>
        <source>Central: cannot start: %1</source>
        <translation>중앙: 시작할 수 없음: %1</translation>
    </message>
    <message>
        <source>Central: connecting</source>
        <translation>중앙: 연결 중</translation>
    </message>
    <message>
        <source>The central database holds another test %1 of station %2: %3. It was not overwritten; run an audit.</source>
        <translation>중앙 데이터베이스에 측정소 %2의 다른 측정 %1이(가) 있습니다: %3. 덮어쓰지 않았습니다. 감사를 실행하십시오.</translation>
    </message>
</context>
<context>
    <name>measurement</name>
    <message>
        <source>Wait</source>
        <translation>대기</translation>
    </message>
    <message>
        <source>Blow</source>
        <translation>불기</translation>
    </message>
    <message>
        <source>Analyzing</source>
        <translation>분석 중</translation>
    </message>
    <message>
        <source>Flow</source>
        <translation>유량 오류</translation>
    </message>
    <message>
        <source>Sensor Error</source>
        <translation>센서 오류</translation>
    </message>
    <message>
        <source>Time out</source>
        <translation>시간 초과</translation>
    </message>
    <message>
        <source>                                  [ Need Recalibration ]</source>
        <translation>                                  [ 재교정 필요 ]</translation>
    </message>
    <message>
        <source>The test log is full: this result (%1) was not saved. Please note it by hand.</source>
        <translation>측정 기록이 가득 찼습니다: 이 결과(%1)는 저장되지 않았습니다. 직접 적어 두십시오.</translation>
    </message>
    <message>
        <source>This result (%1) was not saved: %2. Please note it by hand.</source>
        <translation>이 결과(%1)는 저장되지 않았습니다: %2. 직접 적어 두십시오.</translation>
    </message>
    <message>
        <source>The result was saved, but not sealed: %1.</source>
        <translation>결과는 저장되었지만 봉인되지 않았습니다: %1.</translation>
    </message>
    <message>
        <source>The result was saved, but the settings were not: %1.</source>
        <translation>결과는 저장되었지만 설정은 저장되지 않았습니다: %1.</translation>
    </message>
    <message>
        <source>The photograph of this test could not be saved.</source>
        <translation>이 측정의 사진을 저장할 수 없습니다.</translation>
    </message>
</context>
<context>
    <name>records</name>
    <message>
        <source>Reading datas : Not exist</source>
        <translation>데이터 읽기 : 없음</translation>
    </message>
    <message>
        <source>Reading datas from Local : Not exist (%1)</source>
        <translation>로컬 데이터 읽기 : 없음 (%1)</translation>
    </message>
    <message>
        <source>Reading data from Local : Not exist (%1)</source>
        <translation>로컬 데이터 읽기 : 없음 (%1)</translation>
    </message>
    <message>
        <source>Reading datas</source>
        <translation>데이터 읽는 중</translation>
    </message>
    <message>
        <source>Reading datas from Local : Loading... (%1)</source>
        <translation>로컬 데이터 읽기 : 불러오는 중... (%1)</translation>
    </message>
    <message>
        <source>Reading datas : Complete</source>
        <translation>데이터 읽기 : 완료</translation>
    </message>
    <message>
        <source>Reading datas from Local : Complete (%1)</source>
        <translation>로컬 데이터 읽기 : 완료 (%1)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>Excel</source>
        <translation>Excel</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>인쇄</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>검색</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>열기</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Test No.</source>
        <translation>측정 번호</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>날짜</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>시간</translation>
    </message>
    <message>
        <source>Test Result</source>
        <translation>측정 결과</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>단위</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>모드</translation>
    </message>
    <message>
        <source>Photo</source>
        <translation>사진</translation>
    </message>
    <message>
        <source>Flow</source>
        <translation>유량 오류</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>일반</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>빠름</translation>
    </message>
    <message>
        <source>Sheet</source>
        <translation>시트</translation>
    </message>
    <message>
        <source>Sheet %1</source>
        <translation>시트 %1</translation>
    </message>
    <message>
        <source>Photograph: no test selected</source>
        <translation>사진: 선택된 측정 없음</translation>
    </message>
    <message>
        <source>check passed</source>
        <translation>검증 통과</translation>
    </message>
    <message>
        <source>altered</source>
        <translation>변조됨</translation>
    </message>
    <message>
        <source>none</source>
        <translation>없음</translation>
    </message>
    <message>
        <source>Photograph of test %1: %2</source>
        <translation>측정 %1의 사진: %2</translation>
    </message>
    <message>
        <source>CSV</source>
        <translation>CSV</translation>
    </message>
</context>
<context>
    <name>records::GridPrintJob</name>
    <message>
        <source>The records could not be printed on %1: %2.</source>
        <translation>%1에서 기록을 인쇄할 수 없습니다: %2.</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>인쇄</translation>
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
    <message>
        <source>Excel</source>
        <translation>Excel</translation>
    </message>
</context>
<context>
    <name>records::RecordGridModel</name>
    <message>
        <source>yes</source>
        <translation>예</translation>
    </message>
    <message>
        <source>no</source>
        <translation>아니요</translation>
    </message>
</context>
<context>
    <name>reports</name>
    <message>
        <source>Title</source>
        <translation>제목</translation>
    </message>
    <message>
        <source>Operator/Doctor</source>
        <translation>측정자/의사</translation>
    </message>
    <message>
        <source>Subject/Patient</source>
        <translation>피측정자/환자</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>비고</translation>
    </message>
    <message>
        <source>no page has been rendered</source>
        <translation>만들어진 페이지가 없습니다</translation>
    </message>
    <message>
        <source>the print job could not start</source>
        <translation>인쇄 작업을 시작할 수 없습니다</translation>
    </message>
    <message>
        <source>the printer has no printable area</source>
        <translation>프린터에 인쇄 가능한 영역이 없습니다</translation>
    </message>
    <message>
        <source>the PDF could not be made</source>
        <translation>PDF를 만들 수 없습니다</translation>
    </message>
    <message>
        <source>the PDF came out incomplete</source>
        <translation>PDF가 불완전하게 만들어졌습니다</translation>
    </message>
</context>
<context>
    <name>search</name>
    <message>
        <source>Reading search datas : Not exist (%1)</source>
        <translation>검색 데이터 읽기 : 없음 (%1)</translation>
    </message>
    <message>
        <source>Reading search datas0 : Not exist</source>
        <translation>검색 데이터 읽기 : 없음</translation>
    </message>
    <message>
        <source>Reading search datas : Not exist</source>
        <translation>검색 데이터 읽기 : 없음</translation>
    </message>
    <message>
        <source>Reading search datas : Loading... (%1)</source>
        <translation>검색 데이터 읽기 : 불러오는 중... (%1)</translation>
    </message>
    <message>
        <source>Reading search datas : Loading...</source>
        <translation>검색 데이터 읽기 : 불러오는 중...</translation>
    </message>
    <message>
        <source>Reading search datas : Complete (%1)</source>
        <translation>검색 데이터 읽기 : 완료 (%1)</translation>
    </message>
    <message>
        <source>Reading search datas : Complete</source>
        <translation>검색 데이터 읽기 : 완료</translation>
    </message>
    <message>
        <source>Search Input No Error.</source>
        <translation>검색 측정 번호 입력 오류입니다.</translation>
    </message>
    <message>
        <source>Search Start No Error.</source>
        <translation>검색 시작 번호 오류입니다.</translation>
    </message>
    <message>
        <source>Search date Error.</source>
        <translation>검색 날짜 오류입니다.</translation>
    </message>
    <message>
        <source>Search ID or Name Error</source>
        <translation>검색 ID 또는 이름 오류</translation>
    </message>
    <message>
        <source>Search Normal Result Error</source>
        <translation>검색 정상 결과 범위 오류</translation>
    </message>
</context>
<context>
    <name>users</name>
    <message>
        <source>Please fill in ID.</source>
        <translation>ID를 입력하십시오.</translation>
    </message>
    <message>
        <source>There are same ID or Name.
Please use another ID.</source>
        <translation>같은 ID 또는 이름이 있습니다.
다른 ID를 사용하십시오.</translation>
    </message>
    <message>
        <source>Please fill in Name.</source>
        <translation>이름을 입력하십시오.</translation>
    </message>
    <message>
        <source>There are same ID or Name.
Please use another Name.</source>
        <translation>같은 ID 또는 이름이 있습니다.
다른 이름을 사용하십시오.</translation>
    </message>
</context>
</TS>