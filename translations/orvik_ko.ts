<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>ApplyNewSize</name>
    <message>
        <source>%1 to %2 x %3: %4.</source>
        <translation>%1 (새 크기 %2 x %3): %4.</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Orvik Version 0.2</source>
        <translation>Orvik Version 0.2</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CAdjustColoursDlg</name>
    <message>
        <source>Posterize</source>
        <translation>포스터화</translation>
    </message>
    <message>
        <source>Brightness / Contrast</source>
        <translation>밝기 / 대비</translation>
    </message>
    <message>
        <source>Levels :</source>
        <translation>단계 수 :</translation>
    </message>
    <message>
        <source>Brightness :</source>
        <translation>밝기 :</translation>
    </message>
    <message>
        <source>Contrast :</source>
        <translation>대비 :</translation>
    </message>
</context>
<context>
    <name>CCanvasSizeDlg</name>
    <message>
        <source>Change Canvas Size</source>
        <translation>Change Canvas Size</translation>
    </message>
    <message>
        <source>Dimension</source>
        <translation>Dimension</translation>
    </message>
    <message>
        <source>New Width :</source>
        <translation>New Width :</translation>
    </message>
    <message>
        <source>New Height :</source>
        <translation>New Height :</translation>
    </message>
    <message>
        <source>Current Width :</source>
        <translation>Current Width :</translation>
    </message>
    <message>
        <source>Current Height :</source>
        <translation>Current Height :</translation>
    </message>
    <message>
        <source>Cannot change the canvas size</source>
        <translation>캔버스 크기를 바꿀 수 없습니다</translation>
    </message>
    <message>
        <source>Anchor</source>
        <translation>기준 위치</translation>
    </message>
    <message>
        <source>Top left</source>
        <translation>왼쪽 위</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>위</translation>
    </message>
    <message>
        <source>Top right</source>
        <translation>오른쪽 위</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>왼쪽</translation>
    </message>
    <message>
        <source>Centre</source>
        <translation>가운데</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>오른쪽</translation>
    </message>
    <message>
        <source>Bottom left</source>
        <translation>왼쪽 아래</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>아래</translation>
    </message>
    <message>
        <source>Bottom right</source>
        <translation>오른쪽 아래</translation>
    </message>
</context>
<context>
    <name>CColorEditDlg</name>
    <message>
        <source>Color</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Current Color</source>
        <translation>Current Color</translation>
    </message>
    <message>
        <source>Red :</source>
        <translation>Red :</translation>
    </message>
    <message>
        <source>Green :</source>
        <translation>Green :</translation>
    </message>
    <message>
        <source>Blue :</source>
        <translation>Blue :</translation>
    </message>
    <message>
        <source>Old Color</source>
        <translation>Old Color</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>투명</translation>
    </message>
</context>
<context>
    <name>CColorPaletteDlg</name>
    <message>
        <source>The colour&apos;s transparency could not be changed: %1.</source>
        <translation>색의 투명도를 바꿀 수 없습니다: %1.</translation>
    </message>
</context>
<context>
    <name>CConvertCommand</name>
    <message>
        <source>%1 is given more than once.</source>
        <translation>%1 옵션이 두 번 이상 주어졌습니다.</translation>
    </message>
    <message>
        <source>%1 needs a value.</source>
        <translation>%1 옵션에는 값이 필요합니다.</translation>
    </message>
    <message>
        <source>unknown option %1 (orvik --help lists the options).</source>
        <translation>알 수 없는 옵션 %1 (옵션 목록은 orvik --help로 볼 수 있습니다).</translation>
    </message>
    <message>
        <source>--dither must be none, ordered or error-diffusion, not &quot;%1&quot;.</source>
        <translation>--dither는 &quot;%1&quot;이(가) 아니라 none, ordered, error-diffusion 중 하나여야 합니다.</translation>
    </message>
    <message>
        <source>--palette must be median-cut, octree, standard or a palette file; there is no file &quot;%1&quot;.</source>
        <translation>--palette는 median-cut, octree, standard 또는 팔레트 파일이어야 합니다. &quot;%1&quot; 파일이 없습니다.</translation>
    </message>
    <message>
        <source>cannot load the palette file %1: %2</source>
        <translation>팔레트 파일 %1을(를) 불러올 수 없습니다: %2</translation>
    </message>
    <message>
        <source>--colors must be a whole number from %1 to %2, not &quot;%3&quot;.</source>
        <translation>--colors는 &quot;%3&quot;이(가) 아니라 %1부터 %2까지의 정수여야 합니다.</translation>
    </message>
    <message>
        <source>the standard palette always has 256 colours; --colors %1 cannot be used with it.</source>
        <translation>표준 팔레트는 항상 256색이므로 --colors %1을(를) 함께 쓸 수 없습니다.</translation>
    </message>
    <message>
        <source>a palette file brings its own colours; --colors cannot be used with it.</source>
        <translation>팔레트 파일은 자기 색을 가지고 있으므로 --colors를 함께 쓸 수 없습니다.</translation>
    </message>
    <message>
        <source>--format goes with --to FOLDER; with one output file its extension gives the type.</source>
        <translation>--format은 --to 폴더와 함께 씁니다. 출력 파일이 하나일 때는 그 확장자가 형식을 정합니다.</translation>
    </message>
    <message>
        <source>--convert needs an input file and an output file, or input files and --to FOLDER.</source>
        <translation>--convert에는 입력 파일과 출력 파일, 또는 입력 파일들과 --to 폴더가 필요합니다.</translation>
    </message>
    <message>
        <source>--convert needs at least one input file before --to FOLDER.</source>
        <translation>--convert에는 --to 폴더 앞에 입력 파일이 하나 이상 필요합니다.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1은(는) 폴더가 아닙니다.</translation>
    </message>
    <message>
        <source>%1 would be written over the input %2.</source>
        <translation>%1을(를) 쓰면 입력 파일 %2을(를) 덮어쓰게 됩니다.</translation>
    </message>
    <message>
        <source>two inputs would both be written to %1.</source>
        <translation>두 입력 파일이 모두 %1에 쓰이게 됩니다.</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1을(를) 열 수 없습니다: %2</translation>
    </message>
    <message>
        <source>cannot reduce %1: %2.</source>
        <translation>%1의 색을 줄일 수 없습니다: %2.</translation>
    </message>
    <message>
        <source>cannot reduce %1: %2 returned an image Orvik cannot hold.</source>
        <translation>%1의 색을 줄일 수 없습니다: %2이(가) Orvik이 다룰 수 없는 이미지를 돌려주었습니다.</translation>
    </message>
    <message>
        <source>cannot reduce %1: %2 refused it.</source>
        <translation>%1의 색을 줄일 수 없습니다: %2이(가) 받아들이지 않았습니다.</translation>
    </message>
    <message>
        <source>--format must be the extension of a type Orvik writes (%1), not &quot;%2&quot;.</source>
        <translation>--format에는 Orvik이 저장하는 형식의 확장자(%1)를 주어야 합니다. &quot;%2&quot;은(는) 아닙니다.</translation>
    </message>
    <message>
        <source>%1 does not end in the extension of a type Orvik writes (%2).</source>
        <translation>%1의 확장자는 Orvik이 저장하는 형식(%2)이 아닙니다.</translation>
    </message>
    <message>
        <source>could not write %1: %2; the file on disk was left as it was.</source>
        <translation>%1을(를) 쓸 수 없습니다: %2. 디스크의 파일은 그대로 두었습니다.</translation>
    </message>
</context>
<context>
    <name>CDecreaseDepthDlg</name>
    <message>
        <source>Decrease Color Depth</source>
        <translation>Decrease Color Depth</translation>
    </message>
    <message>
        <source>Palette</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>Median Cut</source>
        <translation>Median Cut</translation>
    </message>
    <message>
        <source>Octree</source>
        <translation>Octree</translation>
    </message>
    <message>
        <source>Standard Palette</source>
        <translation>Standard Palette</translation>
    </message>
    <message>
        <source>Dither Method</source>
        <translation>Dither Method</translation>
    </message>
    <message>
        <source>Nearest Color</source>
        <translation>Nearest Color</translation>
    </message>
    <message>
        <source>Ordered dither</source>
        <translation>Ordered dither</translation>
    </message>
    <message>
        <source>Error Diffusion</source>
        <translation>Error Diffusion</translation>
    </message>
    <message>
        <source>exact</source>
        <translation>원본과 같음</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Remap to Palette</source>
        <translation>팔레트에 다시 맞추기</translation>
    </message>
    <message>
        <source>Palette Method</source>
        <translation>팔레트 방식</translation>
    </message>
    <message>
        <source>Current Palette</source>
        <translation>현재 팔레트</translation>
    </message>
    <message>
        <source>Palette File</source>
        <translation>팔레트 파일</translation>
    </message>
    <message>
        <source>Load Palette File...</source>
        <translation>팔레트 파일 불러오기...</translation>
    </message>
    <message>
        <source>Colors:</source>
        <translation>색 수:</translation>
    </message>
    <message>
        <source>Reduce to:</source>
        <translation>줄일 팔레트:</translation>
    </message>
    <message>
        <source>Whole Image</source>
        <translation>전체 이미지</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>배율:</translation>
    </message>
    <message>
        <source>Load Palette File</source>
        <translation>팔레트 파일 불러오기</translation>
    </message>
    <message>
        <source>Palette files (*.gpl *.pal *.act *.hex);;All files (*)</source>
        <translation>팔레트 파일 (*.gpl *.pal *.act *.hex);;모든 파일 (*)</translation>
    </message>
    <message>
        <source>Cannot load %1.

%2</source>
        <translation>%1을(를) 불러올 수 없습니다.

%2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n colours</source>
        <translation>
            <numerusform>%1: %n색</numerusform>
        </translation>
    </message>
    <message>
        <source>No preview: %1</source>
        <translation>미리 보기 없음: %1</translation>
    </message>
    <message>
        <source>%1 could not reduce the image.</source>
        <translation>%1이(가) 이미지의 색을 줄이지 못했습니다.</translation>
    </message>
    <message>
        <source>Reducing...</source>
        <translation>색을 줄이는 중...</translation>
    </message>
    <message>
        <source>PSNR: %1</source>
        <translation>PSNR: %1</translation>
    </message>
    <message>
        <source>PSNR: measuring...</source>
        <translation>PSNR: 재는 중...</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>원본</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Reducing... %1%</source>
        <translation>색을 줄이는 중... %1%</translation>
    </message>
    <message>
        <source>(the first 256 of %1)</source>
        <translation>(%1색 가운데 처음 256색)</translation>
    </message>
</context>
<context>
    <name>CExportScaledDlg</name>
    <message>
        <source>Export Scaled</source>
        <translation>확대하여 내보내기</translation>
    </message>
    <message>
        <source>Scale :</source>
        <translation>배율 :</translation>
    </message>
    <message>
        <source>Size :</source>
        <translation>크기 :</translation>
    </message>
    <message>
        <source>%1 x %2 pixels</source>
        <translation>%1 x %2 픽셀</translation>
    </message>
    <message>
        <source>Cannot export at %1 times: %2.</source>
        <translation>%1배로 내보낼 수 없습니다: %2.</translation>
    </message>
</context>
<context>
    <name>CGuideWindow</name>
    <message>
        <source>Orvik User Guide</source>
        <translation>Orvik 사용 설명서</translation>
    </message>
</context>
<context>
    <name>CImagePane</name>
    <message>
        <source>Image: %1 x %2 x </source>
        <translation>Image: %1 x %2 x </translation>
    </message>
    <message>
        <source>16 Million</source>
        <translation>16 Million</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>새 파일(&amp;N)	Ctrl+N</source>
        <translation>새 파일(&amp;N)	Ctrl+N</translation>
    </message>
    <message>
        <source>새 문서를 작성합니다
새 파일</source>
        <translation>새 문서를 작성합니다
새 파일</translation>
    </message>
    <message>
        <source>열기(&amp;O)...	Ctrl+O</source>
        <translation>열기(&amp;O)...	Ctrl+O</translation>
    </message>
    <message>
        <source>기존 문서를 엽니다
열기</source>
        <translation>기존 문서를 엽니다
열기</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>닫기(&amp;C)</translation>
    </message>
    <message>
        <source>활성 문서를 닫습니다
닫기</source>
        <translation>활성 문서를 닫습니다
닫기</translation>
    </message>
    <message>
        <source>저장(&amp;S)	Ctrl+S</source>
        <translation>저장(&amp;S)	Ctrl+S</translation>
    </message>
    <message>
        <source>활성 문서를 저장합니다
저장</source>
        <translation>활성 문서를 저장합니다
저장</translation>
    </message>
    <message>
        <source>다른 이름으로 저장(&amp;A)...</source>
        <translation>다른 이름으로 저장(&amp;A)...</translation>
    </message>
    <message>
        <source>활성 문서를 새 이름으로 저장합니다
다른 이름으로 저장</source>
        <translation>활성 문서를 새 이름으로 저장합니다
다른 이름으로 저장</translation>
    </message>
    <message>
        <source>인쇄(&amp;P)...	Ctrl+P</source>
        <translation>인쇄(&amp;P)...	Ctrl+P</translation>
    </message>
    <message>
        <source>활성 문서를 인쇄합니다
인쇄</source>
        <translation>활성 문서를 인쇄합니다
인쇄</translation>
    </message>
    <message>
        <source>인쇄 미리 보기(&amp;V)</source>
        <translation>인쇄 미리 보기(&amp;V)</translation>
    </message>
    <message>
        <source>전체 페이지를 표시합니다
인쇄 미리 보기</source>
        <translation>전체 페이지를 표시합니다
인쇄 미리 보기</translation>
    </message>
    <message>
        <source>인쇄 설정(&amp;R)...</source>
        <translation>인쇄 설정(&amp;R)...</translation>
    </message>
    <message>
        <source>프린터 및 인쇄 옵션을 변경합니다
인쇄 설정</source>
        <translation>프린터 및 인쇄 옵션을 변경합니다
인쇄 설정</translation>
    </message>
    <message>
        <source>종료(&amp;X)</source>
        <translation>종료(&amp;X)</translation>
    </message>
    <message>
        <source>문서를 저장할지 묻고 응용 프로그램을 끝냅니다
끝내기</source>
        <translation>문서를 저장할지 묻고 응용 프로그램을 끝냅니다
끝내기</translation>
    </message>
    <message>
        <source>취소(&amp;U)	Ctrl+Z</source>
        <translation>취소(&amp;U)	Ctrl+Z</translation>
    </message>
    <message>
        <source>마지막 작업을 취소합니다
실행 취소</source>
        <translation>마지막 작업을 취소합니다
실행 취소</translation>
    </message>
    <message>
        <source>Cut(&amp;T)	Ctrl+X</source>
        <translation>Cut(&amp;T)	Ctrl+X</translation>
    </message>
    <message>
        <source>선택 영역을 잘라내어 클립보드에 넣습니다
잘라내기</source>
        <translation>선택 영역을 잘라내어 클립보드에 넣습니다
잘라내기</translation>
    </message>
    <message>
        <source>Copy(&amp;C)	Ctrl+C</source>
        <translation>Copy(&amp;C)	Ctrl+C</translation>
    </message>
    <message>
        <source>선택 영역을 복사하여 클립보드에 넣습니다
복사</source>
        <translation>선택 영역을 복사하여 클립보드에 넣습니다
복사</translation>
    </message>
    <message>
        <source>As New Image	Ctrl+V</source>
        <translation>As New Image	Ctrl+V</translation>
    </message>
    <message>
        <source>Paste As New Image</source>
        <translation>Paste As New Image</translation>
    </message>
    <message>
        <source>As New Selection...	Ctrl+E</source>
        <translation>As New Selection...	Ctrl+E</translation>
    </message>
    <message>
        <source>Paste As New Selection</source>
        <translation>Paste As New Selection</translation>
    </message>
    <message>
        <source>Clear	Del</source>
        <translation>Clear	Del</translation>
    </message>
    <message>
        <source>Clear Image</source>
        <translation>Clear Image</translation>
    </message>
    <message>
        <source>Standard Toolbar</source>
        <translation>Standard Toolbar</translation>
    </message>
    <message>
        <source>도구 모음을 표시하거나 숨깁니다
도구 모음 전환</source>
        <translation>도구 모음을 표시하거나 숨깁니다
도구 모음 전환</translation>
    </message>
    <message>
        <source>Tool Palette</source>
        <translation>Tool Palette</translation>
    </message>
    <message>
        <source>Color Palette</source>
        <translation>Color Palette</translation>
    </message>
    <message>
        <source>Status Bar</source>
        <translation>Status Bar</translation>
    </message>
    <message>
        <source>상태 표시줄을 표시하거나 숨깁니다
상태 표시줄 전환</source>
        <translation>상태 표시줄을 표시하거나 숨깁니다
상태 표시줄 전환</translation>
    </message>
    <message>
        <source>Resize Canvas</source>
        <translation>Resize Canvas</translation>
    </message>
    <message>
        <source>Resize the drawing canvas</source>
        <translation>Resize the drawing canvas</translation>
    </message>
    <message>
        <source>Resize Image</source>
        <translation>Resize Image</translation>
    </message>
    <message>
        <source>Change the size of Image.(Scale)</source>
        <translation>Change the size of Image.(Scale)</translation>
    </message>
    <message>
        <source>256 Colors (8 Bit)</source>
        <translation>256 Colors (8 Bit)</translation>
    </message>
    <message>
        <source>16 Million (24Bit)</source>
        <translation>16 Million (24Bit)</translation>
    </message>
    <message>
        <source>Translucent</source>
        <translation>Translucent</translation>
    </message>
    <message>
        <source>Turn On/Off Translucent Effect.</source>
        <translation>Turn On/Off Translucent Effect.</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Option</translation>
    </message>
    <message>
        <source>Change Options.</source>
        <translation>Change Options.</translation>
    </message>
    <message>
        <source>계단식(&amp;C)</source>
        <translation>계단식(&amp;C)</translation>
    </message>
    <message>
        <source>창이 겹치도록 계단식으로 정렬합니다
계단식 창 배열</source>
        <translation>창이 겹치도록 계단식으로 정렬합니다
계단식 창 배열</translation>
    </message>
    <message>
        <source>바둑판식(&amp;T)</source>
        <translation>바둑판식(&amp;T)</translation>
    </message>
    <message>
        <source>창이 겹치지 않도록 바둑판식으로 정렬합니다
바둑판식 창 배열</source>
        <translation>창이 겹치지 않도록 바둑판식으로 정렬합니다
바둑판식 창 배열</translation>
    </message>
    <message>
        <source>아이콘 정렬(&amp;A)</source>
        <translation>아이콘 정렬(&amp;A)</translation>
    </message>
    <message>
        <source>창의 아래쪽에 아이콘을 정렬합니다
아이콘 정렬</source>
        <translation>창의 아래쪽에 아이콘을 정렬합니다
아이콘 정렬</translation>
    </message>
    <message>
        <source>Orvik 정보(&amp;A)...</source>
        <translation>Orvik 정보(&amp;A)...</translation>
    </message>
    <message>
        <source>프로그램 정보, 버전 번호, 저작권을 표시합니다
정보</source>
        <translation>프로그램 정보, 버전 번호, 저작권을 표시합니다
정보</translation>
    </message>
    <message>
        <source>다음 창으로 전환합니다
다음 창</source>
        <translation>다음 창으로 전환합니다
다음 창</translation>
    </message>
    <message>
        <source>이전 창으로 전환합니다
이전 창</source>
        <translation>이전 창으로 전환합니다
이전 창</translation>
    </message>
    <message>
        <source>Zoom In/Out</source>
        <translation>Zoom In/Out</translation>
    </message>
    <message>
        <source>Paint Brush</source>
        <translation>Paint Brush</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>선택</translation>
    </message>
    <message>
        <source>Draw Line</source>
        <translation>Draw Line</translation>
    </message>
    <message>
        <source>Draw Rectangle.</source>
        <translation>Draw Rectangle.</translation>
    </message>
    <message>
        <source>Fill an area with current color</source>
        <translation>Fill an area with current color</translation>
    </message>
    <message>
        <source>이 문서를 엽니다</source>
        <translation>이 문서를 엽니다</translation>
    </message>
    <message>
        <source>최근 파일</source>
        <translation>최근 파일</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>Edit(&amp;E)</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Colors</translation>
    </message>
    <message>
        <source>Decrease Color Depth</source>
        <translation>Decrease Color Depth</translation>
    </message>
    <message>
        <source>Increase Color Depth</source>
        <translation>Increase Color Depth</translation>
    </message>
    <message>
        <source>Window(&amp;W)</source>
        <translation>Window(&amp;W)</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>File(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Image</source>
        <translation>&amp;Image</translation>
    </message>
    <message>
        <source>Misc.</source>
        <translation>Misc.</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>Help(&amp;H)</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>준비</source>
        <translation>준비</translation>
    </message>
    <message>
        <source>Image : None</source>
        <translation>Image : None</translation>
    </message>
    <message>
        <source>Zoom In	Ctrl++</source>
        <translation>확대(&amp;I)	Ctrl++</translation>
    </message>
    <message>
        <source>Show the image one step larger
Zoom In</source>
        <translation>그림을 한 단계 크게 표시합니다
확대</translation>
    </message>
    <message>
        <source>Zoom Out	Ctrl+-</source>
        <translation>축소(&amp;O)	Ctrl+-</translation>
    </message>
    <message>
        <source>Show the image one step smaller
Zoom Out</source>
        <translation>그림을 한 단계 작게 표시합니다
축소</translation>
    </message>
    <message>
        <source>Fit in Window	Ctrl+0</source>
        <translation>창에 맞추기(&amp;F)	Ctrl+0</translation>
    </message>
    <message>
        <source>Show the whole image as large as the window allows
Fit in Window</source>
        <translation>창에 들어가는 가장 큰 크기로 그림 전체를 표시합니다
창에 맞추기</translation>
    </message>
    <message>
        <source>Actual Pixels	Ctrl+1</source>
        <translation>실제 픽셀(&amp;A)	Ctrl+1</translation>
    </message>
    <message>
        <source>Show one image pixel on each screen pixel
Actual Pixels</source>
        <translation>그림의 픽셀 하나를 화면 픽셀 하나에 표시합니다
실제 픽셀</translation>
    </message>
    <message>
        <source>Redo(&amp;R)	Ctrl+Y</source>
        <translation>다시 실행(&amp;R)	Ctrl+Y</translation>
    </message>
    <message>
        <source>Redo the last undone action
Redo</source>
        <translation>마지막으로 취소한 작업을 다시 실행합니다
다시 실행</translation>
    </message>
    <message>
        <source>Remap to Palette...</source>
        <translation>팔레트에 다시 맞추기...</translation>
    </message>
    <message>
        <source>Map the colours of an 8-bit image onto another palette</source>
        <translation>8비트 이미지의 색을 다른 팔레트에 맞춥니다</translation>
    </message>
    <message>
        <source>Flip Horizontal</source>
        <translation>좌우 뒤집기</translation>
    </message>
    <message>
        <source>Mirror the picture or the floating selection left to right</source>
        <translation>그림이나 떠 있는 선택 영역을 좌우로 뒤집습니다</translation>
    </message>
    <message>
        <source>Flip Vertical</source>
        <translation>상하 뒤집기</translation>
    </message>
    <message>
        <source>Mirror the picture or the floating selection top to bottom</source>
        <translation>그림이나 떠 있는 선택 영역을 상하로 뒤집습니다</translation>
    </message>
    <message>
        <source>Rotate 90° Clockwise</source>
        <translation>시계 방향으로 90° 회전</translation>
    </message>
    <message>
        <source>Turn the picture or the floating selection a quarter turn clockwise</source>
        <translation>그림이나 떠 있는 선택 영역을 시계 방향으로 90° 돌립니다</translation>
    </message>
    <message>
        <source>Rotate 90° Counter-clockwise</source>
        <translation>시계 반대 방향으로 90° 회전</translation>
    </message>
    <message>
        <source>Turn the picture or the floating selection a quarter turn counter-clockwise</source>
        <translation>그림이나 떠 있는 선택 영역을 시계 반대 방향으로 90° 돌립니다</translation>
    </message>
    <message>
        <source>Rotate 180°</source>
        <translation>180° 회전</translation>
    </message>
    <message>
        <source>Turn the picture or the floating selection half a turn</source>
        <translation>그림이나 떠 있는 선택 영역을 180° 돌립니다</translation>
    </message>
    <message>
        <source>Crop to Selection	Ctrl+Shift+X</source>
        <translation>선택 영역으로 자르기	Ctrl+Shift+X</translation>
    </message>
    <message>
        <source>Keep only the selected part of the picture</source>
        <translation>그림에서 선택한 부분만 남깁니다</translation>
    </message>
    <message>
        <source>Autocrop</source>
        <translation>자동 자르기</translation>
    </message>
    <message>
        <source>Remove the border of one colour, or of transparent pixels, around the picture</source>
        <translation>그림 둘레의 한 가지 색 또는 투명한 테두리를 없앱니다</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>색 반전</translation>
    </message>
    <message>
        <source>Turn every colour of the selection or the picture into its opposite</source>
        <translation>선택 영역이나 그림의 모든 색을 반대 색으로 바꿉니다</translation>
    </message>
    <message>
        <source>Greyscale</source>
        <translation>회색조</translation>
    </message>
    <message>
        <source>Turn the colours of the selection or the picture into greys</source>
        <translation>선택 영역이나 그림의 색을 회색으로 바꿉니다</translation>
    </message>
    <message>
        <source>Brightness / Contrast…</source>
        <translation>밝기 / 대비…</translation>
    </message>
    <message>
        <source>Make the selection or the picture lighter or darker, softer or harder</source>
        <translation>선택 영역이나 그림을 밝거나 어둡게, 부드럽거나 뚜렷하게 합니다</translation>
    </message>
    <message>
        <source>Posterize…</source>
        <translation>포스터화…</translation>
    </message>
    <message>
        <source>Reduce each colour channel of the selection or the picture to a few levels</source>
        <translation>선택 영역이나 그림의 각 색 채널을 몇 단계로 줄입니다</translation>
    </message>
    <message>
        <source>Load Palette…</source>
        <translation>팔레트 불러오기…</translation>
    </message>
    <message>
        <source>Replace the palette&apos;s colours with those of a palette file</source>
        <translation>팔레트의 색을 팔레트 파일의 색으로 바꿉니다</translation>
    </message>
    <message>
        <source>Save Palette As…</source>
        <translation>팔레트 저장…</translation>
    </message>
    <message>
        <source>Write the palette to a GIMP, JASC, Photoshop or hex palette file</source>
        <translation>팔레트를 GIMP, JASC, Photoshop 또는 hex 팔레트 파일로 저장합니다</translation>
    </message>
    <message>
        <source>By Hue</source>
        <translation>색상순</translation>
    </message>
    <message>
        <source>Order the palette by hue, greys first; the picture stays as it is</source>
        <translation>팔레트를 색상순으로 정렬합니다(회색 먼저). 그림은 그대로입니다</translation>
    </message>
    <message>
        <source>By Brightness</source>
        <translation>밝기순</translation>
    </message>
    <message>
        <source>Order the palette from dark to light; the picture stays as it is</source>
        <translation>팔레트를 어두운 색부터 밝은 색 순으로 정렬합니다. 그림은 그대로입니다</translation>
    </message>
    <message>
        <source>By Use Count</source>
        <translation>사용 횟수순</translation>
    </message>
    <message>
        <source>Order the palette by how many pixels use each colour; the picture stays as it is</source>
        <translation>팔레트를 각 색을 쓰는 픽셀 수의 순서로 정렬합니다. 그림은 그대로입니다</translation>
    </message>
    <message>
        <source>Merge Duplicate Entries</source>
        <translation>중복 항목 합치기</translation>
    </message>
    <message>
        <source>Keep each colour of the palette once; the picture stays as it is</source>
        <translation>팔레트의 각 색을 한 번씩만 남깁니다. 그림은 그대로입니다</translation>
    </message>
    <message>
        <source>Remove Unused Entries</source>
        <translation>쓰지 않는 항목 없애기</translation>
    </message>
    <message>
        <source>Move the entries in use (by the picture and as the current colours) to the front and clear the others</source>
        <translation>그림과 현재 색이 쓰는 항목을 앞으로 옮기고 나머지는 비웁니다</translation>
    </message>
    <message>
        <source>Export Scaled…</source>
        <translation>확대하여 내보내기…</translation>
    </message>
    <message>
        <source>Write a copy of the picture magnified 2 to 16 times</source>
        <translation>그림을 2배에서 16배까지 확대한 사본을 저장합니다</translation>
    </message>
    <message>
        <source>Sort Palette</source>
        <translation>팔레트 정렬</translation>
    </message>
    <message>
        <source>&amp;User Guide	F1</source>
        <translation>사용 설명서(&amp;U)	F1</translation>
    </message>
    <message>
        <source>Show the user guide
User Guide</source>
        <translation>사용 설명서를 표시합니다
사용 설명서</translation>
    </message>
    <message>
        <source>Select All	Ctrl+A</source>
        <translation>모두 선택(&amp;L)	Ctrl+A</translation>
    </message>
    <message>
        <source>Select the whole image
Select All</source>
        <translation>그림 전체를 선택합니다
모두 선택</translation>
    </message>
    <message>
        <source>Select None	Ctrl+Shift+A</source>
        <translation>선택 해제(&amp;N)	Ctrl+Shift+A</translation>
    </message>
    <message>
        <source>Drop the selection and select nothing
Select None</source>
        <translation>선택 영역을 내려놓고 아무것도 선택하지 않습니다
선택 해제</translation>
    </message>
    <message>
        <source>Tool Options</source>
        <translation>도구 옵션</translation>
    </message>
    <message>
        <source>Show or hide the bar of the current tool&apos;s options
Tool Options</source>
        <translation>현재 도구의 옵션 막대를 표시하거나 숨깁니다
도구 옵션</translation>
    </message>
    <message>
        <source>Pixel Grid	Ctrl+&apos;</source>
        <translation>픽셀 격자(&amp;G)	Ctrl+&apos;</translation>
    </message>
    <message>
        <source>Show a line between the image pixels from 6:1 on
Pixel Grid</source>
        <translation>6:1 이상에서 그림의 픽셀 사이에 선을 표시합니다
픽셀 격자</translation>
    </message>
    <message>
        <source>Replace Color</source>
        <translation>색 바꾸기</translation>
    </message>
    <message>
        <source>Paint every pixel of the background color, in the selection or the whole image, with the foreground color
Replace Color</source>
        <translation>선택 영역이나 그림 전체에서 배경색인 픽셀을 모두 전경색으로 칠합니다
색 바꾸기</translation>
    </message>
    <message>
        <source>Smaller Brush	[</source>
        <translation>브러시 작게	[</translation>
    </message>
    <message>
        <source>Make the brush one pixel smaller
Smaller Brush</source>
        <translation>브러시를 한 픽셀 작게 합니다
브러시 작게</translation>
    </message>
    <message>
        <source>Larger Brush	]</source>
        <translation>브러시 크게	]</translation>
    </message>
    <message>
        <source>Make the brush one pixel larger
Larger Brush</source>
        <translation>브러시를 한 픽셀 크게 합니다
브러시 크게</translation>
    </message>
    <message>
        <source>Round</source>
        <translation>둥근 모양</translation>
    </message>
    <message>
        <source>A round brush
Round</source>
        <translation>둥근 브러시
둥근 모양</translation>
    </message>
    <message>
        <source>Square</source>
        <translation>네모 모양</translation>
    </message>
    <message>
        <source>A square brush
Square</source>
        <translation>네모난 브러시
네모 모양</translation>
    </message>
    <message>
        <source>Pixel Perfect</source>
        <translation>픽셀 퍼펙트</translation>
    </message>
    <message>
        <source>Strokes of one pixel without L-shaped corners
Pixel Perfect</source>
        <translation>L자 모서리가 없는 한 픽셀 굵기의 획
픽셀 퍼펙트</translation>
    </message>
    <message>
        <source>Outlined</source>
        <translation>Outlined</translation>
    </message>
    <message>
        <source>Shapes drawn as their outline
Outlined</source>
        <translation>도형을 윤곽선으로 그립니다
윤곽선</translation>
    </message>
    <message>
        <source>Filled</source>
        <translation>Filled</translation>
    </message>
    <message>
        <source>Shapes filled with the other color inside their outline
Filled</source>
        <translation>윤곽선 안을 다른 색으로 채웁니다
채우기</translation>
    </message>
    <message>
        <source>Filled without Outline</source>
        <translation>윤곽선 없이 채우기</translation>
    </message>
    <message>
        <source>Shapes filled with the other color, without an outline
Filled without Outline</source>
        <translation>윤곽선 없이 도형 전체를 다른 색으로 채웁니다
윤곽선 없이 채우기</translation>
    </message>
    <message>
        <source>Font...</source>
        <translation>글꼴...</translation>
    </message>
    <message>
        <source>Choose the text&apos;s font, size and style
Font</source>
        <translation>글자의 글꼴, 크기, 스타일을 고릅니다
글꼴</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>매끄럽게</translation>
    </message>
    <message>
        <source>Smooth the text&apos;s edges on a 16 Million color image
Smooth</source>
        <translation>1600만 색 그림에서 글자의 가장자리를 매끄럽게 합니다
매끄럽게</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>도구(&amp;T)</translation>
    </message>
    <message>
        <source>Eraser</source>
        <translation>지우개</translation>
    </message>
    <message>
        <source>Erase with the background color
Eraser</source>
        <translation>배경색으로 지웁니다
지우개</translation>
    </message>
    <message>
        <source>Color Picker</source>
        <translation>색 선택기</translation>
    </message>
    <message>
        <source>Pick the foreground or background color from the image (also Ctrl + click)
Color Picker</source>
        <translation>그림에서 전경색이나 배경색을 고릅니다 (Ctrl + 클릭으로도)
색 선택기</translation>
    </message>
    <message>
        <source>Draw Ellipse</source>
        <translation>타원 그리기</translation>
    </message>
    <message>
        <source>Draw an ellipse, with Shift a circle
Draw Ellipse</source>
        <translation>타원을 그립니다. Shift를 누르면 원을 그립니다
타원 그리기</translation>
    </message>
    <message>
        <source>Draw Polygon</source>
        <translation>다각형 그리기</translation>
    </message>
    <message>
        <source>Click the corners; a double click or Enter closes the polygon
Draw Polygon</source>
        <translation>꼭짓점을 차례로 클릭합니다. 두 번 클릭하거나 Enter를 누르면 다각형이 닫힙니다
다각형 그리기</translation>
    </message>
    <message>
        <source>Spray</source>
        <translation>스프레이</translation>
    </message>
    <message>
        <source>Spray dots while the button is held
Spray</source>
        <translation>단추를 누르고 있는 동안 점을 뿌립니다
스프레이</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>텍스트</translation>
    </message>
    <message>
        <source>Click and type; Enter puts the text down
Text</source>
        <translation>클릭한 뒤 입력합니다. Enter를 누르면 글자가 그림에 놓입니다
텍스트</translation>
    </message>
    <message>
        <source>Paint every pixel of the clicked color with the current color
Replace Color</source>
        <translation>클릭한 색의 픽셀을 모두 현재 색으로 칠합니다
색 바꾸기</translation>
    </message>
</context>
<context>
    <name>CNewImageDlg</name>
    <message>
        <source>New Image</source>
        <translation>New Image</translation>
    </message>
    <message>
        <source>Image Demension</source>
        <translation>Image Demension</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Image Characteristics</source>
        <translation>Image Characteristics</translation>
    </message>
    <message>
        <source>256 Colors (8 Bit)</source>
        <translation>256 Colors (8 Bit)</translation>
    </message>
    <message>
        <source>16 Million (24 Bit)</source>
        <translation>16 Million (24 Bit)</translation>
    </message>
    <message>
        <source>Background Color</source>
        <translation>Background Color</translation>
    </message>
    <message>
        <source>Image Type</source>
        <translation>Image Type</translation>
    </message>
    <message>
        <source>Cannot make the image: type its width.</source>
        <translation>그림을 만들 수 없습니다: 너비를 입력하십시오.</translation>
    </message>
    <message>
        <source>Cannot make the image: type its height.</source>
        <translation>그림을 만들 수 없습니다: 높이를 입력하십시오.</translation>
    </message>
    <message>
        <source>Cannot make a %1 x %2 image: %3.</source>
        <translation>%1 x %2 그림을 만들 수 없습니다: %3.</translation>
    </message>
</context>
<context>
    <name>COrvikApp</name>
    <message>
        <source>The setting UndoMemoryMiB=%1 in %2 is not a number of MiB from %3 to %4; the undo history uses %5 MiB.</source>
        <translation>%2의 설정 UndoMemoryMiB=%1은(는) %3에서 %4 사이의 MiB 값이 아닙니다. 실행 취소 기록은 %5 MiB를 씁니다.</translation>
    </message>
    <message>
        <source>The user guide is not installed.</source>
        <translation>사용 설명서가 설치되어 있지 않습니다.</translation>
    </message>
</context>
<context>
    <name>COrvikDoc</name>
    <message>
        <source>Cannot open %1.

%2</source>
        <translation>%1을(를) 열 수 없습니다.

%2</translation>
    </message>
    <message>
        <source>Could not save %1.

The disk may be full or the folder may not be writable; the file on disk was left as it was.</source>
        <translation>%1을(를) 저장하지 못했습니다.

디스크가 가득 찼거나 폴더에 쓸 수 없는 것 같습니다. 디스크의 파일은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>%1의 변경 내용을 저장하시겠습니까?</source>
        <translation>%1의 변경 내용을 저장하시겠습니까?</translation>
    </message>
    <message>
        <source>Cannot paste the picture on the clipboard: %1.</source>
        <translation>클립보드의 그림을 붙여 넣을 수 없습니다: %1.</translation>
    </message>
    <message>
        <source>the picture could not be decoded</source>
        <translation>그림을 해독할 수 없습니다</translation>
    </message>
    <message>
        <source>The colours could not be reduced: %1 returned an image Orvik cannot hold.

The image was left as it was.</source>
        <translation>색을 줄이지 못했습니다: %1이(가) Orvik이 다룰 수 없는 그림을 돌려주었습니다.

그림은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>The colours could not be reduced: %1 failed, perhaps for lack of memory.

The image was left as it was.</source>
        <translation>색을 줄이지 못했습니다: %1이(가) 실패했습니다. 메모리가 부족한 것 같습니다.

그림은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>The colours could not be reduced: %1.

The image was left as it was.</source>
        <translation>색을 줄이지 못했습니다: %1.

그림은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>The colour depth could not be increased: %1.

The image was left as it was.</source>
        <translation>색 깊이를 늘리지 못했습니다: %1.

그림은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>This change is too large to undo; the undo history was emptied.</source>
        <translation>이 변경은 너무 커서 취소할 수 없습니다. 실행 취소 기록을 비웠습니다.</translation>
    </message>
    <message>
        <source>%1 is not a file type Orvik knows.

Orvik writes %2 files.</source>
        <translation>%1은(는) Orvik이 아는 파일 형식이 아닙니다.

Orvik은 %2 파일을 저장합니다.</translation>
    </message>
    <message>
        <source>Only the first of the %1 frames of %2 was opened.</source>
        <translation>%2의 프레임 %1개 가운데 첫 프레임만 열었습니다.</translation>
    </message>
    <message>
        <source>Only the first of the %1 pages of %2 was opened.</source>
        <translation>%2의 페이지 %1개 가운데 첫 페이지만 열었습니다.</translation>
    </message>
    <message>
        <source>Only the largest of the %1 images of %2 was opened.</source>
        <translation>%2의 그림 %1개 가운데 가장 큰 그림만 열었습니다.</translation>
    </message>
    <message>
        <source>Orvik reads %1 files.</source>
        <translation>Orvik은 %1 파일을 읽습니다.</translation>
    </message>
    <message>
        <source>Save it all the same?</source>
        <translation>그래도 저장하시겠습니까?</translation>
    </message>
    <message>
        <source>Could not save %1.

%2</source>
        <translation>%1을(를) 저장하지 못했습니다.

%2</translation>
    </message>
    <message>
        <source>Could not save %1.

The colours could not be reduced: %2 failed, perhaps for lack of memory. The file on disk was left as it was.</source>
        <translation>%1을(를) 저장하지 못했습니다.

색을 줄이지 못했습니다: %2이(가) 실패했습니다. 메모리가 부족했을 수 있습니다. 디스크의 파일은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>Could not save %1.

%2 The file on disk was left as it was.</source>
        <translation>%1을(를) 저장하지 못했습니다.

%2 디스크의 파일은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>Cannot place the picture on the clipboard: %1.

The image and the clipboard were left as they were.</source>
        <translation>그림을 클립보드에 넣을 수 없습니다: %1.

그림과 클립보드는 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>Could not recover %1: this version of Orvik cannot hold its image.</source>
        <translation>%1을(를) 복구하지 못했습니다. 이 버전의 Orvik은 그 이미지를 다룰 수 없습니다.</translation>
    </message>
    <message>
        <source>an untitled image</source>
        <translation>제목 없는 이미지</translation>
    </message>
    <message>
        <source>GIMP Palettes (*.gpl)</source>
        <translation>GIMP 팔레트 (*.gpl)</translation>
    </message>
    <message>
        <source>JASC Palettes (*.pal)</source>
        <translation>JASC 팔레트 (*.pal)</translation>
    </message>
    <message>
        <source>Photoshop Color Tables (*.act)</source>
        <translation>Photoshop 색상표 (*.act)</translation>
    </message>
    <message>
        <source>Hex Lists (*.hex)</source>
        <translation>Hex 목록 (*.hex)</translation>
    </message>
    <message>
        <source>Load Palette</source>
        <translation>팔레트 불러오기</translation>
    </message>
    <message>
        <source>Palette Files (*.gpl *.pal *.act *.hex)</source>
        <translation>팔레트 파일 (*.gpl *.pal *.act *.hex)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>모든 파일 (*)</translation>
    </message>
    <message>
        <source>Save Palette As</source>
        <translation>팔레트 저장</translation>
    </message>
    <message>
        <source>The colours could not be changed: %1.</source>
        <translation>색을 바꿀 수 없습니다: %1.</translation>
    </message>
    <message>
        <source>Cannot load the palette %1.

%2</source>
        <translation>팔레트 %1을(를) 불러올 수 없습니다.

%2</translation>
    </message>
    <message>
        <source>%1 holds %2 colours; a palette has 256, so the first 256 were loaded.</source>
        <translation>%1에는 색이 %2개 있습니다. 팔레트는 256색이므로 처음 256개를 불러왔습니다.</translation>
    </message>
    <message>
        <source>Could not save the palette %1.

%2

The file on disk was left as it was.</source>
        <translation>팔레트 %1을(를) 저장할 수 없습니다.

%2

디스크의 파일은 그대로 남아 있습니다.</translation>
    </message>
    <message>
        <source>The palette could not be rearranged: %1.</source>
        <translation>팔레트를 다시 정리할 수 없습니다: %1.</translation>
    </message>
    <message>
        <source>The picture could not be turned: %1.</source>
        <translation>그림을 돌릴 수 없습니다: %1.</translation>
    </message>
    <message>
        <source>The picture could not be cropped: %1.</source>
        <translation>그림을 자를 수 없습니다: %1.</translation>
    </message>
    <message>
        <source>The whole picture is one colour: Autocrop leaves it as it is.</source>
        <translation>그림 전체가 한 가지 색이므로 자동 자르기는 그림을 그대로 둡니다.</translation>
    </message>
    <message>
        <source>The picture has no border of one colour to remove.</source>
        <translation>그림에 없앨 한 가지 색의 테두리가 없습니다.</translation>
    </message>
    <message>
        <source>Cannot export %1 at %2 times: %3.</source>
        <translation>%1을(를) %2배로 내보낼 수 없습니다: %3.</translation>
    </message>
    <message>
        <source>Could not recover %1: %2.</source>
        <translation>%1을(를) 복구하지 못했습니다: %2.</translation>
    </message>
</context>
<context>
    <name>COrvikFileDialog</name>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>다른 이름으로 저장</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>모든 그림 (%1)</translation>
    </message>
</context>
<context>
    <name>COrvikView</name>
    <message>
        <source>Image: None</source>
        <translation>Image: None</translation>
    </message>
    <message>
        <source>%1 could not be written</source>
        <translation>%1에 쓸 수 없습니다</translation>
    </message>
    <message>
        <source>the printer %1 could not be started</source>
        <translation>프린터 %1을(를) 시작할 수 없습니다</translation>
    </message>
    <message>
        <source>The image could not be printed: %1.</source>
        <translation>그림을 인쇄하지 못했습니다: %1.</translation>
    </message>
</context>
<context>
    <name>CRecoveryDlg</name>
    <message>
        <source>Untitled</source>
        <translation>제목 없음</translation>
    </message>
    <message>
        <source>Recover Unsaved Work</source>
        <translation>저장하지 않은 작업 복구</translation>
    </message>
    <message>
        <source>Orvik ended before these images were saved. Recover the checked ones to go on where you left off; their files on disk stay as they are until you save.</source>
        <translation>Orvik이 이 이미지들을 저장하기 전에 끝났습니다. 체크한 이미지를 복구하면 멈춘 곳에서 이어서 작업할 수 있습니다. 디스크의 파일은 저장할 때까지 그대로 남습니다.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>이미지</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>폴더</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>크기</translation>
    </message>
    <message>
        <source>Kept at</source>
        <translation>보관한 시각</translation>
    </message>
    <message>
        <source>The recovery copy cannot be read.</source>
        <translation>복구 사본을 읽을 수 없습니다.</translation>
    </message>
    <message>
        <source>%1 x %2</source>
        <translation>%1 x %2</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation>복구(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>버리기(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Keep for Later</source>
        <translation>나중에 보관(&amp;K)</translation>
    </message>
    <message>
        <source>Discard the unsaved changes of the checked images? They cannot be recovered afterwards.</source>
        <translation>체크한 이미지의 저장하지 않은 변경 내용을 버리시겠습니까? 버린 뒤에는 복구할 수 없습니다.</translation>
    </message>
</context>
<context>
    <name>CRecoveryManager</name>
    <message>
        <source>Could not keep a recovery copy of %1 (%2). The image is unchanged; save it to keep your work.</source>
        <translation>%1의 복구 사본을 보관하지 못했습니다(%2). 이미지는 그대로입니다. 작업을 잃지 않으려면 저장하십시오.</translation>
    </message>
    <message>
        <source>Could not recover %1: %2.</source>
        <translation>%1을(를) 복구하지 못했습니다: %2.</translation>
    </message>
    <message>
        <source>Could not recover %1: its recovery copy is damaged.</source>
        <translation>%1을(를) 복구하지 못했습니다. 복구 사본이 손상되었습니다.</translation>
    </message>
</context>
<context>
    <name>CResizeImageDlg</name>
    <message>
        <source>Resize Image</source>
        <translation>Resize Image</translation>
    </message>
    <message>
        <source>Width :</source>
        <translation>Width :</translation>
    </message>
    <message>
        <source>Height :</source>
        <translation>Height :</translation>
    </message>
    <message>
        <source>Pixel Size</source>
        <translation>Pixel Size</translation>
    </message>
    <message>
        <source>Percentage of Original</source>
        <translation>Percentage of Original</translation>
    </message>
    <message>
        <source>Current Width :</source>
        <translation>Current Width :</translation>
    </message>
    <message>
        <source>Current Height :</source>
        <translation>Current Height :</translation>
    </message>
    <message>
        <source>Matain aspect ratio of</source>
        <translation>Matain aspect ratio of</translation>
    </message>
    <message>
        <source>to 1</source>
        <translation>to 1</translation>
    </message>
    <message>
        <source>Cannot resize the image</source>
        <translation>그림 크기를 바꿀 수 없습니다</translation>
    </message>
    <message>
        <source>Nearest</source>
        <translation>최근접</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>부드럽게</translation>
    </message>
    <message>
        <source>Method :</source>
        <translation>방식 :</translation>
    </message>
</context>
<context>
    <name>CSetupDlg</name>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Fill Style :</source>
        <translation>Fill Style :</translation>
    </message>
    <message>
        <source>Outlined</source>
        <translation>Outlined</translation>
    </message>
    <message>
        <source>Filled</source>
        <translation>Filled</translation>
    </message>
    <message>
        <source>Translucent : </source>
        <translation>Translucent : </translation>
    </message>
    <message>
        <source>Keep a copy of unsaved work for recovery</source>
        <translation>복구에 쓸 수 있도록 저장하지 않은 작업의 사본 보관</translation>
    </message>
    <message>
        <source>Every :</source>
        <translation>간격 :</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>초</translation>
    </message>
    <message>
        <source>Filled without Outline</source>
        <translation>윤곽선 없이 채우기</translation>
    </message>
</context>
<context>
    <name>CToolOptionsBar</name>
    <message>
        <source>Tool Options</source>
        <translation>도구 옵션</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>크기:</translation>
    </message>
    <message>
        <source>Brush size in pixels ([ and ] step it)</source>
        <translation>브러시 크기(픽셀). [ 와 ] 로 한 단계씩 바꿉니다</translation>
    </message>
    <message>
        <source>Text Font</source>
        <translation>텍스트 글꼴</translation>
    </message>
</context>
<context>
    <name>DibStatus</name>
    <message>
        <source>no error</source>
        <translation>오류 없음</translation>
    </message>
    <message>
        <source>the bitmap ends inside its header</source>
        <translation>비트맵이 헤더 도중에 끝납니다</translation>
    </message>
    <message>
        <source>the file does not start with a bitmap file header</source>
        <translation>파일이 비트맵 파일 헤더로 시작하지 않습니다</translation>
    </message>
    <message>
        <source>the bitmap header has an unknown size</source>
        <translation>비트맵 헤더의 크기를 알 수 없습니다</translation>
    </message>
    <message>
        <source>the width and height must be between 1 and 65535 pixels</source>
        <translation>너비와 높이는 1에서 65535 픽셀 사이여야 합니다</translation>
    </message>
    <message>
        <source>the image would need more than 1 GiB of pixel memory</source>
        <translation>그림에 1 GiB가 넘는 픽셀 메모리가 필요합니다</translation>
    </message>
    <message>
        <source>the bitmap&apos;s plane count is not 1</source>
        <translation>비트맵의 플레인 수가 1이 아닙니다</translation>
    </message>
    <message>
        <source>the bitmap has an unsupported number of bits per pixel</source>
        <translation>비트맵의 픽셀당 비트 수를 지원하지 않습니다</translation>
    </message>
    <message>
        <source>Huffman and RLE24 compressed bitmaps are not supported</source>
        <translation>Huffman 및 RLE24 압축 비트맵은 지원하지 않습니다</translation>
    </message>
    <message>
        <source>bitmaps holding a JPEG or PNG image are not supported</source>
        <translation>JPEG 또는 PNG 그림을 담은 비트맵은 지원하지 않습니다</translation>
    </message>
    <message>
        <source>the bitmap&apos;s compression is unknown or does not suit its rows</source>
        <translation>비트맵의 압축 방식을 알 수 없거나 행에 맞지 않습니다</translation>
    </message>
    <message>
        <source>the bitmap&apos;s colour masks are invalid</source>
        <translation>비트맵의 색 마스크가 잘못되었습니다</translation>
    </message>
    <message>
        <source>the bitmap&apos;s colour table is missing or runs past its end</source>
        <translation>비트맵의 색 표가 없거나 끝을 넘어갑니다</translation>
    </message>
    <message>
        <source>the bitmap&apos;s pixel offset lies outside the file</source>
        <translation>비트맵의 픽셀 오프셋이 파일 밖에 있습니다</translation>
    </message>
    <message>
        <source>the bitmap&apos;s pixel rows are incomplete</source>
        <translation>비트맵의 픽셀 행이 불완전합니다</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>메모리가 부족합니다</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>알 수 없는 오류</translation>
    </message>
</context>
<context>
    <name>FileFormat</name>
    <message>
        <source>BMP Files</source>
        <translation>BMP Files</translation>
    </message>
    <message>
        <source>PCX Files</source>
        <translation>PCX Files</translation>
    </message>
    <message>
        <source>Jpeg Files</source>
        <translation>Jpeg Files</translation>
    </message>
    <message>
        <source>PNG Files</source>
        <translation>PNG Files</translation>
    </message>
    <message>
        <source>GIF Files</source>
        <translation>GIF 파일</translation>
    </message>
    <message>
        <source>Icon Files</source>
        <translation>아이콘 파일</translation>
    </message>
    <message>
        <source>PNM Files</source>
        <translation>PNM 파일</translation>
    </message>
    <message>
        <source>TGA Files</source>
        <translation>TGA 파일</translation>
    </message>
    <message>
        <source>TIFF Files</source>
        <translation>TIFF 파일</translation>
    </message>
    <message>
        <source>WebP Files</source>
        <translation>WebP 파일</translation>
    </message>
    <message>
        <source>WebP Files, lossy</source>
        <translation>WebP 파일, 손실 압축</translation>
    </message>
</context>
<context>
    <name>ImageFileStatus</name>
    <message>
        <source>no error</source>
        <translation>오류 없음</translation>
    </message>
    <message>
        <source>the file cannot be opened</source>
        <translation>파일을 열 수 없습니다</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>파일이 비어 있습니다</translation>
    </message>
    <message>
        <source>the file is not a picture in a format Orvik reads</source>
        <translation>Orvik이 읽는 형식의 그림 파일이 아닙니다</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>파일이 손상되었거나 완전하지 않습니다</translation>
    </message>
    <message>
        <source>the file is a kind of picture Orvik cannot read</source>
        <translation>Orvik이 읽을 수 없는 종류의 그림 파일입니다</translation>
    </message>
    <message>
        <source>the picture is larger than 65535 pixels a side or 1 GiB of pixel memory</source>
        <translation>그림이 한 변 65535픽셀 또는 픽셀 메모리 1GiB보다 큽니다</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>메모리가 부족합니다</translation>
    </message>
    <message>
        <source>the disk may be full or the folder may not be writable</source>
        <translation>디스크가 가득 찼거나 폴더에 쓸 수 없는 것 같습니다</translation>
    </message>
    <message>
        <source>the picture cannot be stored in this format</source>
        <translation>이 형식으로는 그림을 저장할 수 없습니다</translation>
    </message>
    <message>
        <source>libimgkit.so cannot be loaded</source>
        <translation>libimgkit.so를 불러올 수 없습니다</translation>
    </message>
    <message>
        <source>libimgkit.so is an old or damaged copy</source>
        <translation>libimgkit.so가 오래되었거나 손상된 사본입니다</translation>
    </message>
    <message>
        <source>libimgkit.so returned a picture Orvik cannot hold</source>
        <translation>libimgkit.so가 Orvik이 다룰 수 없는 그림을 돌려주었습니다</translation>
    </message>
    <message>
        <source>the name has no extension of a format Orvik writes</source>
        <translation>이름에 Orvik이 저장하는 형식의 확장자가 없습니다</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>알 수 없는 오류</translation>
    </message>
</context>
<context>
    <name>ImageStatus</name>
    <message>
        <source>no error</source>
        <translation>오류 없음</translation>
    </message>
    <message>
        <source>only 8-bit and 24-bit images are supported</source>
        <translation>8비트와 24비트 그림만 지원합니다</translation>
    </message>
    <message>
        <source>the width and height must be between 1 and 65535 pixels</source>
        <translation>너비와 높이는 1에서 65535 픽셀 사이여야 합니다</translation>
    </message>
    <message>
        <source>the image would need more than 1 GiB of pixel memory</source>
        <translation>그림에 1 GiB가 넘는 픽셀 메모리가 필요합니다</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>메모리가 부족합니다</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>알 수 없는 오류</translation>
    </message>
</context>
<context>
    <name>OkCancelButtons</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>OrvikMessage</name>
    <message>
        <source>Can&apos;t Find %1</source>
        <translation>Can&apos;t Find %1</translation>
    </message>
    <message>
        <source>%1 has no function %2: it may be an old or damaged copy.</source>
        <translation>%1에 %2 함수가 없습니다: 오래되었거나 손상된 사본일 수 있습니다.</translation>
    </message>
    <message>
        <source>%1 is there but could not be loaded:

%2</source>
        <translation>%1이(가) 있지만 불러올 수 없습니다:

%2</translation>
    </message>
</context>
<context>
    <name>PaletteError</name>
    <message>
        <source>no error</source>
        <translation>오류 없음</translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation>파일을 읽을 수 없습니다.</translation>
    </message>
    <message>
        <source>The file is larger than any palette file (16 MiB).</source>
        <translation>팔레트 파일이라기에는 파일이 너무 큽니다(16 MiB 초과).</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>파일이 비어 있습니다.</translation>
    </message>
    <message>
        <source>It is not a palette file Orvik reads: GIMP (.gpl), JASC (.pal), Photoshop (.act) or a list of RRGGBB values (.hex).</source>
        <translation>Orvik이 읽을 수 있는 팔레트 파일이 아닙니다: GIMP(.gpl), JASC(.pal), Photoshop(.act) 또는 RRGGBB 값 목록(.hex).</translation>
    </message>
    <message>
        <source>Line %1 is not the header this kind of palette file starts with (&quot;GIMP Palette&quot;, or &quot;JASC-PAL&quot; and a version number).</source>
        <translation>%1번째 줄이 이 종류의 팔레트 파일이 시작하는 머리글(&quot;GIMP Palette&quot;, 또는 &quot;JASC-PAL&quot;과 버전 번호)이 아닙니다.</translation>
    </message>
    <message>
        <source>The number of colours the file gives is not one its format allows.</source>
        <translation>파일에 적힌 색 수가 이 형식에서 허용되지 않습니다.</translation>
    </message>
    <message>
        <source>Line %1 does not hold a colour: red, green and blue from 0 to 255, or six hex digits RRGGBB in a hex list.</source>
        <translation>%1번째 줄에 색이 없습니다: 0에서 255 사이의 빨강, 초록, 파랑 값, 또는 hex 목록에서는 16진수 여섯 자리 RRGGBB가 있어야 합니다.</translation>
    </message>
    <message>
        <source>The file ends after %3 of the %2 colours it announces.</source>
        <translation>파일에 적힌 %2개의 색 중 %3개 뒤에서 파일이 끝납니다.</translation>
    </message>
    <message>
        <source>The file holds no colours.</source>
        <translation>파일에 색이 없습니다.</translation>
    </message>
    <message>
        <source>The file&apos;s length does not fit its format (a Photoshop palette has 768 or 772 bytes).</source>
        <translation>파일 길이가 형식에 맞지 않습니다(Photoshop 팔레트는 768 또는 772바이트입니다).</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>알 수 없는 오류</translation>
    </message>
</context>
<context>
    <name>SaveLoss</name>
    <message>
        <source>Pictures saved as %1 keep no palette, and their colours change slightly. The picture will open again as a 24-bit image.</source>
        <translation>%1(으)로 저장한 그림에는 팔레트가 남지 않고 색이 조금 바뀝니다. 다시 열면 24비트 그림이 됩니다.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 keep no palette. The picture will look the same, but it will open again as a 24-bit image.</source>
        <translation>%1(으)로 저장한 그림에는 팔레트가 남지 않습니다. 그림은 똑같아 보이지만 다시 열면 24비트 그림이 됩니다.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 have at most 256 colours. The file will get a copy reduced to 256 colours, made the way Decrease Color Depth was last used; the open picture stays as it is.</source>
        <translation>%1(으)로 저장한 그림은 256색까지만 가집니다. 파일에는 마지막으로 색 수 줄이기를 한 방식대로 256색으로 줄인 사본이 저장되고, 열려 있는 그림은 그대로 남습니다.</translation>
    </message>
    <message>
        <source>The file holds %2 frames and Orvik opened only the first. Saving replaces the file with this one picture.</source>
        <translation>이 파일에는 프레임이 %2개 있고 Orvik은 첫 프레임만 열었습니다. 저장하면 파일이 이 그림 하나로 바뀝니다.</translation>
    </message>
    <message>
        <source>The file holds %2 pages and Orvik opened only the first. Saving replaces the file with this one page.</source>
        <translation>이 파일에는 페이지가 %2개 있고 Orvik은 첫 페이지만 열었습니다. 저장하면 파일이 이 페이지 하나로 바뀝니다.</translation>
    </message>
    <message>
        <source>The file holds %2 images and Orvik opened only the largest. Saving replaces the file with this one image.</source>
        <translation>이 파일에는 그림이 %2개 있고 Orvik은 가장 큰 그림만 열었습니다. 저장하면 파일이 이 그림 하나로 바뀝니다.</translation>
    </message>
    <message>
        <source>The file has more than 8 bits per channel, and Orvik opened it with 8. Saving replaces it with 8 bits per channel.</source>
        <translation>이 파일은 채널당 8비트보다 많은 비트를 가지고 있으며 Orvik은 8비트로 열었습니다. 저장하면 채널당 8비트인 파일로 바뀝니다.</translation>
    </message>
    <message>
        <source>Orvik cannot write %1 files.</source>
        <translation>Orvik은 %1 파일을 저장할 수 없습니다.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 can be at most %2 x %2 pixels.</source>
        <translation>%1(으)로 저장하는 그림은 최대 %2 x %2 픽셀입니다.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 cannot be transparent. The transparent parts will become white.</source>
        <translation>%1(으)로 저장한 그림은 투명할 수 없습니다. 투명한 부분은 흰색이 됩니다.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 can have only one transparent colour. The other transparent and partly transparent colours will be put over white.</source>
        <translation>%1(으)로 저장한 그림에는 투명한 색이 하나만 있을 수 있습니다. 나머지 투명한 색과 반투명한 색은 흰색 위에 합성됩니다.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 cannot be partly transparent. The partly transparent colours will be put over white.</source>
        <translation>%1(으)로 저장한 그림은 반투명할 수 없습니다. 반투명한 색은 흰색 위에 합성됩니다.</translation>
    </message>
</context>
</TS>
