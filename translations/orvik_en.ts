<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>ApplyNewSize</name>
    <message>
        <source>%1 to %2 x %3: %4.</source>
        <translation>%1 to %2 x %3: %4.</translation>
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
        <translation>Posterize</translation>
    </message>
    <message>
        <source>Brightness / Contrast</source>
        <translation>Brightness / Contrast</translation>
    </message>
    <message>
        <source>Levels :</source>
        <translation>Levels :</translation>
    </message>
    <message>
        <source>Brightness :</source>
        <translation>Brightness :</translation>
    </message>
    <message>
        <source>Contrast :</source>
        <translation>Contrast :</translation>
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
        <translation>Dimensions</translation>
    </message>
    <message>
        <source>New Width :</source>
        <translation>New width:</translation>
    </message>
    <message>
        <source>New Height :</source>
        <translation>New height:</translation>
    </message>
    <message>
        <source>Current Width :</source>
        <translation>Current width:</translation>
    </message>
    <message>
        <source>Current Height :</source>
        <translation>Current height:</translation>
    </message>
    <message>
        <source>Cannot change the canvas size</source>
        <translation>Cannot change the canvas size</translation>
    </message>
    <message>
        <source>Anchor</source>
        <translation>Anchor</translation>
    </message>
    <message>
        <source>Top left</source>
        <translation>Top left</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>Top right</source>
        <translation>Top right</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Centre</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Bottom left</source>
        <translation>Bottom left</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>Bottom right</source>
        <translation>Bottom right</translation>
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
        <translation>Red:</translation>
    </message>
    <message>
        <source>Green :</source>
        <translation>Green:</translation>
    </message>
    <message>
        <source>Blue :</source>
        <translation>Blue:</translation>
    </message>
    <message>
        <source>Old Color</source>
        <translation>Old Color</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>Transparent</translation>
    </message>
</context>
<context>
    <name>CColorPaletteDlg</name>
    <message>
        <source>The colour&apos;s transparency could not be changed: %1.</source>
        <translation>The colour&apos;s transparency could not be changed: %1.</translation>
    </message>
</context>
<context>
    <name>CConvertCommand</name>
    <message>
        <source>%1 is given more than once.</source>
        <translation>%1 is given more than once.</translation>
    </message>
    <message>
        <source>%1 needs a value.</source>
        <translation>%1 needs a value.</translation>
    </message>
    <message>
        <source>unknown option %1 (orvik --help lists the options).</source>
        <translation>unknown option %1 (orvik --help lists the options).</translation>
    </message>
    <message>
        <source>--dither must be none, ordered or error-diffusion, not &quot;%1&quot;.</source>
        <translation>--dither must be none, ordered or error-diffusion, not &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>--palette must be median-cut, octree, standard or a palette file; there is no file &quot;%1&quot;.</source>
        <translation>--palette must be median-cut, octree, standard or a palette file; there is no file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>cannot load the palette file %1: %2</source>
        <translation>cannot load the palette file %1: %2</translation>
    </message>
    <message>
        <source>--colors must be a whole number from %1 to %2, not &quot;%3&quot;.</source>
        <translation>--colors must be a whole number from %1 to %2, not &quot;%3&quot;.</translation>
    </message>
    <message>
        <source>the standard palette always has 256 colours; --colors %1 cannot be used with it.</source>
        <translation>the standard palette always has 256 colours; --colors %1 cannot be used with it.</translation>
    </message>
    <message>
        <source>a palette file brings its own colours; --colors cannot be used with it.</source>
        <translation>a palette file brings its own colours; --colors cannot be used with it.</translation>
    </message>
    <message>
        <source>--format goes with --to FOLDER; with one output file its extension gives the type.</source>
        <translation>--format goes with --to FOLDER; with one output file its extension gives the type.</translation>
    </message>
    <message>
        <source>--convert needs an input file and an output file, or input files and --to FOLDER.</source>
        <translation>--convert needs an input file and an output file, or input files and --to FOLDER.</translation>
    </message>
    <message>
        <source>--convert needs at least one input file before --to FOLDER.</source>
        <translation>--convert needs at least one input file before --to FOLDER.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 is not a folder.</translation>
    </message>
    <message>
        <source>%1 would be written over the input %2.</source>
        <translation>%1 would be written over the input %2.</translation>
    </message>
    <message>
        <source>two inputs would both be written to %1.</source>
        <translation>two inputs would both be written to %1.</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>cannot open %1: %2</translation>
    </message>
    <message>
        <source>cannot reduce %1: %2.</source>
        <translation>cannot reduce %1: %2.</translation>
    </message>
    <message>
        <source>cannot reduce %1: %2 returned an image Orvik cannot hold.</source>
        <translation>cannot reduce %1: %2 returned an image Orvik cannot hold.</translation>
    </message>
    <message>
        <source>cannot reduce %1: %2 refused it.</source>
        <translation>cannot reduce %1: %2 refused it.</translation>
    </message>
    <message>
        <source>--format must be the extension of a type Orvik writes (%1), not &quot;%2&quot;.</source>
        <translation>--format must be the extension of a type Orvik writes (%1), not &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>%1 does not end in the extension of a type Orvik writes (%2).</source>
        <translation>%1 does not end in the extension of a type Orvik writes (%2).</translation>
    </message>
    <message>
        <source>could not write %1: %2; the file on disk was left as it was.</source>
        <translation>could not write %1: %2; the file on disk was left as it was.</translation>
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
        <translation>Ordered Dither</translation>
    </message>
    <message>
        <source>Error Diffusion</source>
        <translation>Error Diffusion</translation>
    </message>
    <message>
        <source>exact</source>
        <translation>exact</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Remap to Palette</source>
        <translation>Remap to Palette</translation>
    </message>
    <message>
        <source>Palette Method</source>
        <translation>Palette Method</translation>
    </message>
    <message>
        <source>Current Palette</source>
        <translation>Current Palette</translation>
    </message>
    <message>
        <source>Palette File</source>
        <translation>Palette File</translation>
    </message>
    <message>
        <source>Load Palette File...</source>
        <translation>Load Palette File...</translation>
    </message>
    <message>
        <source>Colors:</source>
        <translation>Colors:</translation>
    </message>
    <message>
        <source>Reduce to:</source>
        <translation>Reduce to:</translation>
    </message>
    <message>
        <source>Whole Image</source>
        <translation>Whole Image</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>Zoom:</translation>
    </message>
    <message>
        <source>Load Palette File</source>
        <translation>Load Palette File</translation>
    </message>
    <message>
        <source>Palette files (*.gpl *.pal *.act *.hex);;All files (*)</source>
        <translation>Palette files (*.gpl *.pal *.act *.hex);;All files (*)</translation>
    </message>
    <message>
        <source>Cannot load %1.

%2</source>
        <translation>Cannot load %1.

%2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n colours</source>
        <translation>
            <numerusform>%1: %n colour</numerusform>
            <numerusform>%1: %n colours</numerusform>
        </translation>
    </message>
    <message>
        <source>No preview: %1</source>
        <translation>No preview: %1</translation>
    </message>
    <message>
        <source>%1 could not reduce the image.</source>
        <translation>%1 could not reduce the image.</translation>
    </message>
    <message>
        <source>Reducing...</source>
        <translation>Reducing...</translation>
    </message>
    <message>
        <source>PSNR: %1</source>
        <translation>PSNR: %1</translation>
    </message>
    <message>
        <source>PSNR: measuring...</source>
        <translation>PSNR: measuring...</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Reducing... %1%</source>
        <translation>Reducing... %1%</translation>
    </message>
    <message>
        <source>(the first 256 of %1)</source>
        <translation>(the first 256 of %1)</translation>
    </message>
</context>
<context>
    <name>CExportScaledDlg</name>
    <message>
        <source>Export Scaled</source>
        <translation>Export Scaled</translation>
    </message>
    <message>
        <source>Scale :</source>
        <translation>Scale :</translation>
    </message>
    <message>
        <source>Size :</source>
        <translation>Size :</translation>
    </message>
    <message>
        <source>%1 x %2 pixels</source>
        <translation>%1 x %2 pixels</translation>
    </message>
    <message>
        <source>Cannot export at %1 times: %2.</source>
        <translation>Cannot export at %1 times: %2.</translation>
    </message>
</context>
<context>
    <name>CGuideWindow</name>
    <message>
        <source>Orvik User Guide</source>
        <translation>Orvik User Guide</translation>
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
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>새 문서를 작성합니다
새 파일</source>
        <translation>Create a new document
New</translation>
    </message>
    <message>
        <source>열기(&amp;O)...	Ctrl+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>기존 문서를 엽니다
열기</source>
        <translation>Open an existing document
Open</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>활성 문서를 닫습니다
닫기</source>
        <translation>Close the active document
Close</translation>
    </message>
    <message>
        <source>저장(&amp;S)	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>활성 문서를 저장합니다
저장</source>
        <translation>Save the active document
Save</translation>
    </message>
    <message>
        <source>다른 이름으로 저장(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>활성 문서를 새 이름으로 저장합니다
다른 이름으로 저장</source>
        <translation>Save the active document under a new name
Save As</translation>
    </message>
    <message>
        <source>인쇄(&amp;P)...	Ctrl+P</source>
        <translation>&amp;Print...	Ctrl+P</translation>
    </message>
    <message>
        <source>활성 문서를 인쇄합니다
인쇄</source>
        <translation>Print the active document
Print</translation>
    </message>
    <message>
        <source>인쇄 미리 보기(&amp;V)</source>
        <translation>Print Pre&amp;view</translation>
    </message>
    <message>
        <source>전체 페이지를 표시합니다
인쇄 미리 보기</source>
        <translation>Show the whole page as it will print
Print Preview</translation>
    </message>
    <message>
        <source>인쇄 설정(&amp;R)...</source>
        <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>프린터 및 인쇄 옵션을 변경합니다
인쇄 설정</source>
        <translation>Change the printer and printing options
Print Setup</translation>
    </message>
    <message>
        <source>종료(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>문서를 저장할지 묻고 응용 프로그램을 끝냅니다
끝내기</source>
        <translation>Quit the program, asking to save changed documents
Exit</translation>
    </message>
    <message>
        <source>취소(&amp;U)	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>마지막 작업을 취소합니다
실행 취소</source>
        <translation>Undo the last action
Undo</translation>
    </message>
    <message>
        <source>Cut(&amp;T)	Ctrl+X</source>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <source>선택 영역을 잘라내어 클립보드에 넣습니다
잘라내기</source>
        <translation>Cut the selection and put it on the clipboard
Cut</translation>
    </message>
    <message>
        <source>Copy(&amp;C)	Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>선택 영역을 복사하여 클립보드에 넣습니다
복사</source>
        <translation>Copy the selection and put it on the clipboard
Copy</translation>
    </message>
    <message>
        <source>As New Image	Ctrl+V</source>
        <translation>As New &amp;Image	Ctrl+V</translation>
    </message>
    <message>
        <source>Paste As New Image</source>
        <translation>Paste as a new image</translation>
    </message>
    <message>
        <source>As New Selection...	Ctrl+E</source>
        <translation>As New &amp;Selection...	Ctrl+E</translation>
    </message>
    <message>
        <source>Paste As New Selection</source>
        <translation>Paste as a new selection</translation>
    </message>
    <message>
        <source>Clear	Del</source>
        <translation>Cle&amp;ar	Del</translation>
    </message>
    <message>
        <source>Clear Image</source>
        <translation>Clear the selection, or the whole image</translation>
    </message>
    <message>
        <source>Standard Toolbar</source>
        <translation>Standard Toolbar</translation>
    </message>
    <message>
        <source>도구 모음을 표시하거나 숨깁니다
도구 모음 전환</source>
        <translation>Show or hide the toolbar
Toggle Toolbar</translation>
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
        <translation>Show or hide the status bar
Toggle Status Bar</translation>
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
        <translation>Change the size of the image (scale it)</translation>
    </message>
    <message>
        <source>256 Colors (8 Bit)</source>
        <translation>256 Colors (8 Bit)</translation>
    </message>
    <message>
        <source>16 Million (24Bit)</source>
        <translation>16 Million Colors (24 Bit)</translation>
    </message>
    <message>
        <source>Translucent</source>
        <translation>Translucent</translation>
    </message>
    <message>
        <source>Turn On/Off Translucent Effect.</source>
        <translation>Turn the translucent effect on or off</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Options...</translation>
    </message>
    <message>
        <source>Change Options.</source>
        <translation>Change the options</translation>
    </message>
    <message>
        <source>계단식(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>창이 겹치도록 계단식으로 정렬합니다
계단식 창 배열</source>
        <translation>Arrange the windows so they overlap
Cascade Windows</translation>
    </message>
    <message>
        <source>바둑판식(&amp;T)</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <source>창이 겹치지 않도록 바둑판식으로 정렬합니다
바둑판식 창 배열</source>
        <translation>Arrange the windows side by side, without overlaps
Tile Windows</translation>
    </message>
    <message>
        <source>아이콘 정렬(&amp;A)</source>
        <translation>&amp;Arrange Icons</translation>
    </message>
    <message>
        <source>창의 아래쪽에 아이콘을 정렬합니다
아이콘 정렬</source>
        <translation>Arrange the icons along the bottom of the window
Arrange Icons</translation>
    </message>
    <message>
        <source>Orvik 정보(&amp;A)...</source>
        <translation>&amp;About Orvik...</translation>
    </message>
    <message>
        <source>프로그램 정보, 버전 번호, 저작권을 표시합니다
정보</source>
        <translation>Show the program information, version and copyright
About</translation>
    </message>
    <message>
        <source>다음 창으로 전환합니다
다음 창</source>
        <translation>Switch to the next pane
Next Pane</translation>
    </message>
    <message>
        <source>이전 창으로 전환합니다
이전 창</source>
        <translation>Switch to the previous pane
Previous Pane</translation>
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
        <translation>Select</translation>
    </message>
    <message>
        <source>Draw Line</source>
        <translation>Draw Line</translation>
    </message>
    <message>
        <source>Draw Rectangle.</source>
        <translation>Draw Rectangle</translation>
    </message>
    <message>
        <source>Fill an area with current color</source>
        <translation>Fill an area with the current color</translation>
    </message>
    <message>
        <source>이 문서를 엽니다</source>
        <translation>Open this document</translation>
    </message>
    <message>
        <source>최근 파일</source>
        <translation>Recent File</translation>
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
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>&amp;Paste</translation>
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
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Image</source>
        <translation>&amp;Image</translation>
    </message>
    <message>
        <source>Misc.</source>
        <translation>&amp;Misc.</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>준비</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Image : None</source>
        <translation>Image: None</translation>
    </message>
    <message>
        <source>Zoom In	Ctrl++</source>
        <translation>Zoom &amp;In	Ctrl++</translation>
    </message>
    <message>
        <source>Show the image one step larger
Zoom In</source>
        <translation>Show the image one step larger
Zoom In</translation>
    </message>
    <message>
        <source>Zoom Out	Ctrl+-</source>
        <translation>Zoom &amp;Out	Ctrl+-</translation>
    </message>
    <message>
        <source>Show the image one step smaller
Zoom Out</source>
        <translation>Show the image one step smaller
Zoom Out</translation>
    </message>
    <message>
        <source>Fit in Window	Ctrl+0</source>
        <translation>&amp;Fit in Window	Ctrl+0</translation>
    </message>
    <message>
        <source>Show the whole image as large as the window allows
Fit in Window</source>
        <translation>Show the whole image as large as the window allows
Fit in Window</translation>
    </message>
    <message>
        <source>Actual Pixels	Ctrl+1</source>
        <translation>&amp;Actual Pixels	Ctrl+1</translation>
    </message>
    <message>
        <source>Show one image pixel on each screen pixel
Actual Pixels</source>
        <translation>Show one image pixel on each screen pixel
Actual Pixels</translation>
    </message>
    <message>
        <source>Redo(&amp;R)	Ctrl+Y</source>
        <translation>&amp;Redo	Ctrl+Y</translation>
    </message>
    <message>
        <source>Redo the last undone action
Redo</source>
        <translation>Redo the last undone action
Redo</translation>
    </message>
    <message>
        <source>Remap to Palette...</source>
        <translation>Remap to Palette...</translation>
    </message>
    <message>
        <source>Map the colours of an 8-bit image onto another palette</source>
        <translation>Map the colours of an 8-bit image onto another palette</translation>
    </message>
    <message>
        <source>Flip Horizontal</source>
        <translation>Flip Horizontal</translation>
    </message>
    <message>
        <source>Mirror the picture or the floating selection left to right</source>
        <translation>Mirror the picture or the floating selection left to right</translation>
    </message>
    <message>
        <source>Flip Vertical</source>
        <translation>Flip Vertical</translation>
    </message>
    <message>
        <source>Mirror the picture or the floating selection top to bottom</source>
        <translation>Mirror the picture or the floating selection top to bottom</translation>
    </message>
    <message>
        <source>Rotate 90° Clockwise</source>
        <translation>Rotate 90° Clockwise</translation>
    </message>
    <message>
        <source>Turn the picture or the floating selection a quarter turn clockwise</source>
        <translation>Turn the picture or the floating selection a quarter turn clockwise</translation>
    </message>
    <message>
        <source>Rotate 90° Counter-clockwise</source>
        <translation>Rotate 90° Counter-clockwise</translation>
    </message>
    <message>
        <source>Turn the picture or the floating selection a quarter turn counter-clockwise</source>
        <translation>Turn the picture or the floating selection a quarter turn counter-clockwise</translation>
    </message>
    <message>
        <source>Rotate 180°</source>
        <translation>Rotate 180°</translation>
    </message>
    <message>
        <source>Turn the picture or the floating selection half a turn</source>
        <translation>Turn the picture or the floating selection half a turn</translation>
    </message>
    <message>
        <source>Crop to Selection	Ctrl+Shift+X</source>
        <translation>Crop to Selection	Ctrl+Shift+X</translation>
    </message>
    <message>
        <source>Keep only the selected part of the picture</source>
        <translation>Keep only the selected part of the picture</translation>
    </message>
    <message>
        <source>Autocrop</source>
        <translation>Autocrop</translation>
    </message>
    <message>
        <source>Remove the border of one colour, or of transparent pixels, around the picture</source>
        <translation>Remove the border of one colour, or of transparent pixels, around the picture</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>Turn every colour of the selection or the picture into its opposite</source>
        <translation>Turn every colour of the selection or the picture into its opposite</translation>
    </message>
    <message>
        <source>Greyscale</source>
        <translation>Greyscale</translation>
    </message>
    <message>
        <source>Turn the colours of the selection or the picture into greys</source>
        <translation>Turn the colours of the selection or the picture into greys</translation>
    </message>
    <message>
        <source>Brightness / Contrast…</source>
        <translation>Brightness / Contrast…</translation>
    </message>
    <message>
        <source>Make the selection or the picture lighter or darker, softer or harder</source>
        <translation>Make the selection or the picture lighter or darker, softer or harder</translation>
    </message>
    <message>
        <source>Posterize…</source>
        <translation>Posterize…</translation>
    </message>
    <message>
        <source>Reduce each colour channel of the selection or the picture to a few levels</source>
        <translation>Reduce each colour channel of the selection or the picture to a few levels</translation>
    </message>
    <message>
        <source>Load Palette…</source>
        <translation>Load Palette…</translation>
    </message>
    <message>
        <source>Replace the palette&apos;s colours with those of a palette file</source>
        <translation>Replace the palette&apos;s colours with those of a palette file</translation>
    </message>
    <message>
        <source>Save Palette As…</source>
        <translation>Save Palette As…</translation>
    </message>
    <message>
        <source>Write the palette to a GIMP, JASC, Photoshop or hex palette file</source>
        <translation>Write the palette to a GIMP, JASC, Photoshop or hex palette file</translation>
    </message>
    <message>
        <source>By Hue</source>
        <translation>By Hue</translation>
    </message>
    <message>
        <source>Order the palette by hue, greys first; the picture stays as it is</source>
        <translation>Order the palette by hue, greys first; the picture stays as it is</translation>
    </message>
    <message>
        <source>By Brightness</source>
        <translation>By Brightness</translation>
    </message>
    <message>
        <source>Order the palette from dark to light; the picture stays as it is</source>
        <translation>Order the palette from dark to light; the picture stays as it is</translation>
    </message>
    <message>
        <source>By Use Count</source>
        <translation>By Use Count</translation>
    </message>
    <message>
        <source>Order the palette by how many pixels use each colour; the picture stays as it is</source>
        <translation>Order the palette by how many pixels use each colour; the picture stays as it is</translation>
    </message>
    <message>
        <source>Merge Duplicate Entries</source>
        <translation>Merge Duplicate Entries</translation>
    </message>
    <message>
        <source>Keep each colour of the palette once; the picture stays as it is</source>
        <translation>Keep each colour of the palette once; the picture stays as it is</translation>
    </message>
    <message>
        <source>Remove Unused Entries</source>
        <translation>Remove Unused Entries</translation>
    </message>
    <message>
        <source>Move the entries in use (by the picture and as the current colours) to the front and clear the others</source>
        <translation>Move the entries in use (by the picture and as the current colours) to the front and clear the others</translation>
    </message>
    <message>
        <source>Export Scaled…</source>
        <translation>Export Scaled…</translation>
    </message>
    <message>
        <source>Write a copy of the picture magnified 2 to 16 times</source>
        <translation>Write a copy of the picture magnified 2 to 16 times</translation>
    </message>
    <message>
        <source>Sort Palette</source>
        <translation>Sort Palette</translation>
    </message>
    <message>
        <source>&amp;User Guide	F1</source>
        <translation>&amp;User Guide	F1</translation>
    </message>
    <message>
        <source>Show the user guide
User Guide</source>
        <translation>Show the user guide
User Guide</translation>
    </message>
    <message>
        <source>Select All	Ctrl+A</source>
        <translation>Select All	Ctrl+A</translation>
    </message>
    <message>
        <source>Select the whole image
Select All</source>
        <translation>Select the whole image
Select All</translation>
    </message>
    <message>
        <source>Select None	Ctrl+Shift+A</source>
        <translation>Select None	Ctrl+Shift+A</translation>
    </message>
    <message>
        <source>Drop the selection and select nothing
Select None</source>
        <translation>Drop the selection and select nothing
Select None</translation>
    </message>
    <message>
        <source>Tool Options</source>
        <translation>Tool Options</translation>
    </message>
    <message>
        <source>Show or hide the bar of the current tool&apos;s options
Tool Options</source>
        <translation>Show or hide the bar of the current tool&apos;s options
Tool Options</translation>
    </message>
    <message>
        <source>Pixel Grid	Ctrl+&apos;</source>
        <translation>Pixel Grid	Ctrl+&apos;</translation>
    </message>
    <message>
        <source>Show a line between the image pixels from 6:1 on
Pixel Grid</source>
        <translation>Show a line between the image pixels from 6:1 on
Pixel Grid</translation>
    </message>
    <message>
        <source>Replace Color</source>
        <translation>Replace Color</translation>
    </message>
    <message>
        <source>Paint every pixel of the background color, in the selection or the whole image, with the foreground color
Replace Color</source>
        <translation>Paint every pixel of the background color, in the selection or the whole image, with the foreground color
Replace Color</translation>
    </message>
    <message>
        <source>Smaller Brush	[</source>
        <translation>Smaller Brush	[</translation>
    </message>
    <message>
        <source>Make the brush one pixel smaller
Smaller Brush</source>
        <translation>Make the brush one pixel smaller
Smaller Brush</translation>
    </message>
    <message>
        <source>Larger Brush	]</source>
        <translation>Larger Brush	]</translation>
    </message>
    <message>
        <source>Make the brush one pixel larger
Larger Brush</source>
        <translation>Make the brush one pixel larger
Larger Brush</translation>
    </message>
    <message>
        <source>Round</source>
        <translation>Round</translation>
    </message>
    <message>
        <source>A round brush
Round</source>
        <translation>A round brush
Round</translation>
    </message>
    <message>
        <source>Square</source>
        <translation>Square</translation>
    </message>
    <message>
        <source>A square brush
Square</source>
        <translation>A square brush
Square</translation>
    </message>
    <message>
        <source>Pixel Perfect</source>
        <translation>Pixel Perfect</translation>
    </message>
    <message>
        <source>Strokes of one pixel without L-shaped corners
Pixel Perfect</source>
        <translation>Strokes of one pixel without L-shaped corners
Pixel Perfect</translation>
    </message>
    <message>
        <source>Outlined</source>
        <translation>Outlined</translation>
    </message>
    <message>
        <source>Shapes drawn as their outline
Outlined</source>
        <translation>Shapes drawn as their outline
Outlined</translation>
    </message>
    <message>
        <source>Filled</source>
        <translation>Filled</translation>
    </message>
    <message>
        <source>Shapes filled with the other color inside their outline
Filled</source>
        <translation>Shapes filled with the other color inside their outline
Filled</translation>
    </message>
    <message>
        <source>Filled without Outline</source>
        <translation>Filled without Outline</translation>
    </message>
    <message>
        <source>Shapes filled with the other color, without an outline
Filled without Outline</source>
        <translation>Shapes filled with the other color, without an outline
Filled without Outline</translation>
    </message>
    <message>
        <source>Font...</source>
        <translation>Font...</translation>
    </message>
    <message>
        <source>Choose the text&apos;s font, size and style
Font</source>
        <translation>Choose the text&apos;s font, size and style
Font</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>Smooth the text&apos;s edges on a 16 Million color image
Smooth</source>
        <translation>Smooth the text&apos;s edges on a 16 Million color image
Smooth</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>Eraser</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>Erase with the background color
Eraser</source>
        <translation>Erase with the background color
Eraser</translation>
    </message>
    <message>
        <source>Color Picker</source>
        <translation>Color Picker</translation>
    </message>
    <message>
        <source>Pick the foreground or background color from the image (also Ctrl + click)
Color Picker</source>
        <translation>Pick the foreground or background color from the image (also Ctrl + click)
Color Picker</translation>
    </message>
    <message>
        <source>Draw Ellipse</source>
        <translation>Draw Ellipse</translation>
    </message>
    <message>
        <source>Draw an ellipse, with Shift a circle
Draw Ellipse</source>
        <translation>Draw an ellipse, with Shift a circle
Draw Ellipse</translation>
    </message>
    <message>
        <source>Draw Polygon</source>
        <translation>Draw Polygon</translation>
    </message>
    <message>
        <source>Click the corners; a double click or Enter closes the polygon
Draw Polygon</source>
        <translation>Click the corners; a double click or Enter closes the polygon
Draw Polygon</translation>
    </message>
    <message>
        <source>Spray</source>
        <translation>Spray</translation>
    </message>
    <message>
        <source>Spray dots while the button is held
Spray</source>
        <translation>Spray dots while the button is held
Spray</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Click and type; Enter puts the text down
Text</source>
        <translation>Click and type; Enter puts the text down
Text</translation>
    </message>
    <message>
        <source>Paint every pixel of the clicked color with the current color
Replace Color</source>
        <translation>Paint every pixel of the clicked color with the current color
Replace Color</translation>
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
        <translation>Image Dimensions</translation>
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
        <translation>16 Million Colors (24 Bit)</translation>
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
        <translation>Cannot make the image: type its width.</translation>
    </message>
    <message>
        <source>Cannot make the image: type its height.</source>
        <translation>Cannot make the image: type its height.</translation>
    </message>
    <message>
        <source>Cannot make a %1 x %2 image: %3.</source>
        <translation>Cannot make a %1 x %2 image: %3.</translation>
    </message>
</context>
<context>
    <name>COrvikApp</name>
    <message>
        <source>The setting UndoMemoryMiB=%1 in %2 is not a number of MiB from %3 to %4; the undo history uses %5 MiB.</source>
        <translation>The setting UndoMemoryMiB=%1 in %2 is not a number of MiB from %3 to %4; the undo history uses %5 MiB.</translation>
    </message>
    <message>
        <source>The user guide is not installed.</source>
        <translation>The user guide is not installed.</translation>
    </message>
</context>
<context>
    <name>COrvikDoc</name>
    <message>
        <source>Cannot open %1.

%2</source>
        <translation>Cannot open %1.

%2</translation>
    </message>
    <message>
        <source>Could not save %1.

The disk may be full or the folder may not be writable; the file on disk was left as it was.</source>
        <translation>Could not save %1.

The disk may be full or the folder may not be writable; the file on disk was left as it was.</translation>
    </message>
    <message>
        <source>%1의 변경 내용을 저장하시겠습니까?</source>
        <translation>Save the changes to %1?</translation>
    </message>
    <message>
        <source>Cannot paste the picture on the clipboard: %1.</source>
        <translation>Cannot paste the picture on the clipboard: %1.</translation>
    </message>
    <message>
        <source>the picture could not be decoded</source>
        <translation>the picture could not be decoded</translation>
    </message>
    <message>
        <source>The colours could not be reduced: %1 returned an image Orvik cannot hold.

The image was left as it was.</source>
        <translation>The colors could not be reduced: %1 returned an image Orvik cannot hold.

The image was left as it was.</translation>
    </message>
    <message>
        <source>The colours could not be reduced: %1 failed, perhaps for lack of memory.

The image was left as it was.</source>
        <translation>The colors could not be reduced: %1 failed, perhaps for lack of memory.

The image was left as it was.</translation>
    </message>
    <message>
        <source>The colours could not be reduced: %1.

The image was left as it was.</source>
        <translation>The colors could not be reduced: %1.

The image was left as it was.</translation>
    </message>
    <message>
        <source>The colour depth could not be increased: %1.

The image was left as it was.</source>
        <translation>The color depth could not be increased: %1.

The image was left as it was.</translation>
    </message>
    <message>
        <source>This change is too large to undo; the undo history was emptied.</source>
        <translation>This change is too large to undo; the undo history was emptied.</translation>
    </message>
    <message>
        <source>%1 is not a file type Orvik knows.

Orvik writes %2 files.</source>
        <translation>%1 is not a file type Orvik knows.

Orvik writes %2 files.</translation>
    </message>
    <message>
        <source>Only the first of the %1 frames of %2 was opened.</source>
        <translation>Only the first of the %1 frames of %2 was opened.</translation>
    </message>
    <message>
        <source>Only the first of the %1 pages of %2 was opened.</source>
        <translation>Only the first of the %1 pages of %2 was opened.</translation>
    </message>
    <message>
        <source>Only the largest of the %1 images of %2 was opened.</source>
        <translation>Only the largest of the %1 images of %2 was opened.</translation>
    </message>
    <message>
        <source>Orvik reads %1 files.</source>
        <translation>Orvik reads %1 files.</translation>
    </message>
    <message>
        <source>Save it all the same?</source>
        <translation>Save it all the same?</translation>
    </message>
    <message>
        <source>Could not save %1.

%2</source>
        <translation>Could not save %1.

%2</translation>
    </message>
    <message>
        <source>Could not save %1.

The colours could not be reduced: %2 failed, perhaps for lack of memory. The file on disk was left as it was.</source>
        <translation>Could not save %1.

The colours could not be reduced: %2 failed, perhaps for lack of memory. The file on disk was left as it was.</translation>
    </message>
    <message>
        <source>Could not save %1.

%2 The file on disk was left as it was.</source>
        <translation>Could not save %1.

%2 The file on disk was left as it was.</translation>
    </message>
    <message>
        <source>Cannot place the picture on the clipboard: %1.

The image and the clipboard were left as they were.</source>
        <translation>Cannot place the picture on the clipboard: %1.

The image and the clipboard were left as they were.</translation>
    </message>
    <message>
        <source>Could not recover %1: this version of Orvik cannot hold its image.</source>
        <translation>Could not recover %1: this version of Orvik cannot hold its image.</translation>
    </message>
    <message>
        <source>an untitled image</source>
        <translation>an untitled image</translation>
    </message>
    <message>
        <source>GIMP Palettes (*.gpl)</source>
        <translation>GIMP Palettes (*.gpl)</translation>
    </message>
    <message>
        <source>JASC Palettes (*.pal)</source>
        <translation>JASC Palettes (*.pal)</translation>
    </message>
    <message>
        <source>Photoshop Color Tables (*.act)</source>
        <translation>Photoshop Color Tables (*.act)</translation>
    </message>
    <message>
        <source>Hex Lists (*.hex)</source>
        <translation>Hex Lists (*.hex)</translation>
    </message>
    <message>
        <source>Load Palette</source>
        <translation>Load Palette</translation>
    </message>
    <message>
        <source>Palette Files (*.gpl *.pal *.act *.hex)</source>
        <translation>Palette Files (*.gpl *.pal *.act *.hex)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>All Files (*)</translation>
    </message>
    <message>
        <source>Save Palette As</source>
        <translation>Save Palette As</translation>
    </message>
    <message>
        <source>The colours could not be changed: %1.</source>
        <translation>The colours could not be changed: %1.</translation>
    </message>
    <message>
        <source>Cannot load the palette %1.

%2</source>
        <translation>Cannot load the palette %1.

%2</translation>
    </message>
    <message>
        <source>%1 holds %2 colours; a palette has 256, so the first 256 were loaded.</source>
        <translation>%1 holds %2 colours; a palette has 256, so the first 256 were loaded.</translation>
    </message>
    <message>
        <source>Could not save the palette %1.

%2

The file on disk was left as it was.</source>
        <translation>Could not save the palette %1.

%2

The file on disk was left as it was.</translation>
    </message>
    <message>
        <source>The palette could not be rearranged: %1.</source>
        <translation>The palette could not be rearranged: %1.</translation>
    </message>
    <message>
        <source>The picture could not be turned: %1.</source>
        <translation>The picture could not be turned: %1.</translation>
    </message>
    <message>
        <source>The picture could not be cropped: %1.</source>
        <translation>The picture could not be cropped: %1.</translation>
    </message>
    <message>
        <source>The whole picture is one colour: Autocrop leaves it as it is.</source>
        <translation>The whole picture is one colour: Autocrop leaves it as it is.</translation>
    </message>
    <message>
        <source>The picture has no border of one colour to remove.</source>
        <translation>The picture has no border of one colour to remove.</translation>
    </message>
    <message>
        <source>Cannot export %1 at %2 times: %3.</source>
        <translation>Cannot export %1 at %2 times: %3.</translation>
    </message>
    <message>
        <source>Could not recover %1: %2.</source>
        <translation>Could not recover %1: %2.</translation>
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
        <translation>Save As</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>All Pictures (%1)</translation>
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
        <translation>%1 could not be written</translation>
    </message>
    <message>
        <source>the printer %1 could not be started</source>
        <translation>the printer %1 could not be started</translation>
    </message>
    <message>
        <source>The image could not be printed: %1.</source>
        <translation>The image could not be printed: %1.</translation>
    </message>
</context>
<context>
    <name>CRecoveryDlg</name>
    <message>
        <source>Untitled</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Recover Unsaved Work</source>
        <translation>Recover Unsaved Work</translation>
    </message>
    <message>
        <source>Orvik ended before these images were saved. Recover the checked ones to go on where you left off; their files on disk stay as they are until you save.</source>
        <translation>Orvik ended before these images were saved. Recover the checked ones to go on where you left off; their files on disk stay as they are until you save.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Kept at</source>
        <translation>Kept at</translation>
    </message>
    <message>
        <source>The recovery copy cannot be read.</source>
        <translation>The recovery copy cannot be read.</translation>
    </message>
    <message>
        <source>%1 x %2</source>
        <translation>%1 x %2</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation>&amp;Recover</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Discard</translation>
    </message>
    <message>
        <source>&amp;Keep for Later</source>
        <translation>&amp;Keep for Later</translation>
    </message>
    <message>
        <source>Discard the unsaved changes of the checked images? They cannot be recovered afterwards.</source>
        <translation>Discard the unsaved changes of the checked images? They cannot be recovered afterwards.</translation>
    </message>
</context>
<context>
    <name>CRecoveryManager</name>
    <message>
        <source>Could not keep a recovery copy of %1 (%2). The image is unchanged; save it to keep your work.</source>
        <translation>Could not keep a recovery copy of %1 (%2). The image is unchanged; save it to keep your work.</translation>
    </message>
    <message>
        <source>Could not recover %1: %2.</source>
        <translation>Could not recover %1: %2.</translation>
    </message>
    <message>
        <source>Could not recover %1: its recovery copy is damaged.</source>
        <translation>Could not recover %1: its recovery copy is damaged.</translation>
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
        <translation>Width:</translation>
    </message>
    <message>
        <source>Height :</source>
        <translation>Height:</translation>
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
        <translation>Current width:</translation>
    </message>
    <message>
        <source>Current Height :</source>
        <translation>Current height:</translation>
    </message>
    <message>
        <source>Matain aspect ratio of</source>
        <translation>Maintain aspect ratio of</translation>
    </message>
    <message>
        <source>to 1</source>
        <translation>to 1</translation>
    </message>
    <message>
        <source>Cannot resize the image</source>
        <translation>Cannot resize the image</translation>
    </message>
    <message>
        <source>Nearest</source>
        <translation>Nearest</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>Method :</source>
        <translation>Method :</translation>
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
        <translation>Fill style:</translation>
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
        <translation>Translucency:</translation>
    </message>
    <message>
        <source>Keep a copy of unsaved work for recovery</source>
        <translation>Keep a copy of unsaved work for recovery</translation>
    </message>
    <message>
        <source>Every :</source>
        <translation>Every :</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>Filled without Outline</source>
        <translation>Filled without Outline</translation>
    </message>
</context>
<context>
    <name>CToolOptionsBar</name>
    <message>
        <source>Tool Options</source>
        <translation>Tool Options</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Brush size in pixels ([ and ] step it)</source>
        <translation>Brush size in pixels ([ and ] step it)</translation>
    </message>
    <message>
        <source>Text Font</source>
        <translation>Text Font</translation>
    </message>
</context>
<context>
    <name>DibStatus</name>
    <message>
        <source>no error</source>
        <translation>no error</translation>
    </message>
    <message>
        <source>the bitmap ends inside its header</source>
        <translation>the bitmap ends inside its header</translation>
    </message>
    <message>
        <source>the file does not start with a bitmap file header</source>
        <translation>the file does not start with a bitmap file header</translation>
    </message>
    <message>
        <source>the bitmap header has an unknown size</source>
        <translation>the bitmap header has an unknown size</translation>
    </message>
    <message>
        <source>the width and height must be between 1 and 65535 pixels</source>
        <translation>the width and height must be between 1 and 65535 pixels</translation>
    </message>
    <message>
        <source>the image would need more than 1 GiB of pixel memory</source>
        <translation>the image would need more than 1 GiB of pixel memory</translation>
    </message>
    <message>
        <source>the bitmap&apos;s plane count is not 1</source>
        <translation>the bitmap&apos;s plane count is not 1</translation>
    </message>
    <message>
        <source>the bitmap has an unsupported number of bits per pixel</source>
        <translation>the bitmap has an unsupported number of bits per pixel</translation>
    </message>
    <message>
        <source>Huffman and RLE24 compressed bitmaps are not supported</source>
        <translation>Huffman and RLE24 compressed bitmaps are not supported</translation>
    </message>
    <message>
        <source>bitmaps holding a JPEG or PNG image are not supported</source>
        <translation>bitmaps holding a JPEG or PNG image are not supported</translation>
    </message>
    <message>
        <source>the bitmap&apos;s compression is unknown or does not suit its rows</source>
        <translation>the bitmap&apos;s compression is unknown or does not suit its rows</translation>
    </message>
    <message>
        <source>the bitmap&apos;s colour masks are invalid</source>
        <translation>the bitmap&apos;s color masks are invalid</translation>
    </message>
    <message>
        <source>the bitmap&apos;s colour table is missing or runs past its end</source>
        <translation>the bitmap&apos;s color table is missing or runs past its end</translation>
    </message>
    <message>
        <source>the bitmap&apos;s pixel offset lies outside the file</source>
        <translation>the bitmap&apos;s pixel offset lies outside the file</translation>
    </message>
    <message>
        <source>the bitmap&apos;s pixel rows are incomplete</source>
        <translation>the bitmap&apos;s pixel rows are incomplete</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>there is not enough memory</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unknown error</translation>
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
        <translation>JPEG Files</translation>
    </message>
    <message>
        <source>PNG Files</source>
        <translation>PNG Files</translation>
    </message>
    <message>
        <source>GIF Files</source>
        <translation>GIF Files</translation>
    </message>
    <message>
        <source>Icon Files</source>
        <translation>Icon Files</translation>
    </message>
    <message>
        <source>PNM Files</source>
        <translation>PNM Files</translation>
    </message>
    <message>
        <source>TGA Files</source>
        <translation>TGA Files</translation>
    </message>
    <message>
        <source>TIFF Files</source>
        <translation>TIFF Files</translation>
    </message>
    <message>
        <source>WebP Files</source>
        <translation>WebP Files</translation>
    </message>
    <message>
        <source>WebP Files, lossy</source>
        <translation>WebP Files, lossy</translation>
    </message>
</context>
<context>
    <name>ImageFileStatus</name>
    <message>
        <source>no error</source>
        <translation>no error</translation>
    </message>
    <message>
        <source>the file cannot be opened</source>
        <translation>the file cannot be opened</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>the file is not a picture in a format Orvik reads</source>
        <translation>the file is not a picture in a format Orvik reads</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>the file is damaged or incomplete</translation>
    </message>
    <message>
        <source>the file is a kind of picture Orvik cannot read</source>
        <translation>the file is a kind of picture Orvik cannot read</translation>
    </message>
    <message>
        <source>the picture is larger than 65535 pixels a side or 1 GiB of pixel memory</source>
        <translation>the picture is larger than 65535 pixels a side or 1 GiB of pixel memory</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>there is not enough memory</translation>
    </message>
    <message>
        <source>the disk may be full or the folder may not be writable</source>
        <translation>the disk may be full or the folder may not be writable</translation>
    </message>
    <message>
        <source>the picture cannot be stored in this format</source>
        <translation>the picture cannot be stored in this format</translation>
    </message>
    <message>
        <source>libimgkit.so cannot be loaded</source>
        <translation>libimgkit.so cannot be loaded</translation>
    </message>
    <message>
        <source>libimgkit.so is an old or damaged copy</source>
        <translation>libimgkit.so is an old or damaged copy</translation>
    </message>
    <message>
        <source>libimgkit.so returned a picture Orvik cannot hold</source>
        <translation>libimgkit.so returned a picture Orvik cannot hold</translation>
    </message>
    <message>
        <source>the name has no extension of a format Orvik writes</source>
        <translation>the name has no extension of a format Orvik writes</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unknown error</translation>
    </message>
</context>
<context>
    <name>ImageStatus</name>
    <message>
        <source>no error</source>
        <translation>no error</translation>
    </message>
    <message>
        <source>only 8-bit and 24-bit images are supported</source>
        <translation>only 8-bit and 24-bit images are supported</translation>
    </message>
    <message>
        <source>the width and height must be between 1 and 65535 pixels</source>
        <translation>the width and height must be between 1 and 65535 pixels</translation>
    </message>
    <message>
        <source>the image would need more than 1 GiB of pixel memory</source>
        <translation>the image would need more than 1 GiB of pixel memory</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>there is not enough memory</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unknown error</translation>
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
        <translation>Can&apos;t find %1</translation>
    </message>
    <message>
        <source>%1 has no function %2: it may be an old or damaged copy.</source>
        <translation>%1 has no function %2: it may be an old or damaged copy.</translation>
    </message>
    <message>
        <source>%1 is there but could not be loaded:

%2</source>
        <translation>%1 is there but could not be loaded:

%2</translation>
    </message>
</context>
<context>
    <name>PaletteError</name>
    <message>
        <source>no error</source>
        <translation>no error</translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation>The file could not be read.</translation>
    </message>
    <message>
        <source>The file is larger than any palette file (16 MiB).</source>
        <translation>The file is larger than any palette file (16 MiB).</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>It is not a palette file Orvik reads: GIMP (.gpl), JASC (.pal), Photoshop (.act) or a list of RRGGBB values (.hex).</source>
        <translation>It is not a palette file Orvik reads: GIMP (.gpl), JASC (.pal), Photoshop (.act) or a list of RRGGBB values (.hex).</translation>
    </message>
    <message>
        <source>Line %1 is not the header this kind of palette file starts with (&quot;GIMP Palette&quot;, or &quot;JASC-PAL&quot; and a version number).</source>
        <translation>Line %1 is not the header this kind of palette file starts with (&quot;GIMP Palette&quot;, or &quot;JASC-PAL&quot; and a version number).</translation>
    </message>
    <message>
        <source>The number of colours the file gives is not one its format allows.</source>
        <translation>The number of colours the file gives is not one its format allows.</translation>
    </message>
    <message>
        <source>Line %1 does not hold a colour: red, green and blue from 0 to 255, or six hex digits RRGGBB in a hex list.</source>
        <translation>Line %1 does not hold a colour: red, green and blue from 0 to 255, or six hex digits RRGGBB in a hex list.</translation>
    </message>
    <message>
        <source>The file ends after %3 of the %2 colours it announces.</source>
        <translation>The file ends after %3 of the %2 colours it announces.</translation>
    </message>
    <message>
        <source>The file holds no colours.</source>
        <translation>The file holds no colours.</translation>
    </message>
    <message>
        <source>The file&apos;s length does not fit its format (a Photoshop palette has 768 or 772 bytes).</source>
        <translation>The file&apos;s length does not fit its format (a Photoshop palette has 768 or 772 bytes).</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unknown error</translation>
    </message>
</context>
<context>
    <name>SaveLoss</name>
    <message>
        <source>Pictures saved as %1 keep no palette, and their colours change slightly. The picture will open again as a 24-bit image.</source>
        <translation>Pictures saved as %1 keep no palette, and their colours change slightly. The picture will open again as a 24-bit image.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 keep no palette. The picture will look the same, but it will open again as a 24-bit image.</source>
        <translation>Pictures saved as %1 keep no palette. The picture will look the same, but it will open again as a 24-bit image.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 have at most 256 colours. The file will get a copy reduced to 256 colours, made the way Decrease Color Depth was last used; the open picture stays as it is.</source>
        <translation>Pictures saved as %1 have at most 256 colours. The file will get a copy reduced to 256 colours, made the way Decrease Color Depth was last used; the open picture stays as it is.</translation>
    </message>
    <message>
        <source>The file holds %2 frames and Orvik opened only the first. Saving replaces the file with this one picture.</source>
        <translation>The file holds %2 frames and Orvik opened only the first. Saving replaces the file with this one picture.</translation>
    </message>
    <message>
        <source>The file holds %2 pages and Orvik opened only the first. Saving replaces the file with this one page.</source>
        <translation>The file holds %2 pages and Orvik opened only the first. Saving replaces the file with this one page.</translation>
    </message>
    <message>
        <source>The file holds %2 images and Orvik opened only the largest. Saving replaces the file with this one image.</source>
        <translation>The file holds %2 images and Orvik opened only the largest. Saving replaces the file with this one image.</translation>
    </message>
    <message>
        <source>The file has more than 8 bits per channel, and Orvik opened it with 8. Saving replaces it with 8 bits per channel.</source>
        <translation>The file has more than 8 bits per channel, and Orvik opened it with 8. Saving replaces it with 8 bits per channel.</translation>
    </message>
    <message>
        <source>Orvik cannot write %1 files.</source>
        <translation>Orvik cannot write %1 files.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 can be at most %2 x %2 pixels.</source>
        <translation>Pictures saved as %1 can be at most %2 x %2 pixels.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 cannot be transparent. The transparent parts will become white.</source>
        <translation>Pictures saved as %1 cannot be transparent. The transparent parts will become white.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 can have only one transparent colour. The other transparent and partly transparent colours will be put over white.</source>
        <translation>Pictures saved as %1 can have only one transparent colour. The other transparent and partly transparent colours will be put over white.</translation>
    </message>
    <message>
        <source>Pictures saved as %1 cannot be partly transparent. The partly transparent colours will be put over white.</source>
        <translation>Pictures saved as %1 cannot be partly transparent. The partly transparent colours will be put over white.</translation>
    </message>
</context>
</TS>
