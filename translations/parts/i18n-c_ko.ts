<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
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
