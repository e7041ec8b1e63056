<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>LibraryOperations</name>
    <message>
        <source>内置物相不能删除，只能删除导入的物相。</source>
        <translation>Built-in phases cannot be deleted; only imported phases can.</translation>
    </message>
    <message>
        <source>确定要删除导入的物相“%1”吗？
删除后需重新导入CIF才能恢复。</source>
        <translation>Delete the imported phase “%1”?
To get it back, import its CIF again.</translation>
    </message>
    <message>
        <source>确定要删除导入的%1个物相（%2）吗？
删除后需重新导入CIF才能恢复。</source>
        <translation>Delete the %1 imported phases (%2)?
To get them back, import their CIFs again.</translation>
    </message>
    <message>
        <source>删除物相</source>
        <translation>Delete phase</translation>
    </message>
    <message>
        <source>无法保存导入的物相，未删除：
</source>
        <translation>Cannot save the imported phases; nothing was deleted:
</translation>
    </message>
    <message>
        <source>删除了%1个导入的物相</source>
        <translation>Deleted %1 imported phase(s)</translation>
    </message>
</context>
<context>
    <name>ResultExport</name>
    <message>
        <source>组号</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>晶带轴</source>
        <translation>Zone axis</translation>
    </message>
    <message>
        <source>失配度</source>
        <translation>Misfit</translation>
    </message>
    <message>
        <source>二次衍射</source>
        <translation>Double diffraction</translation>
    </message>
    <message>
        <source>解族</source>
        <translation>Family</translation>
    </message>
</context>
<context>
    <name>ScreeningRun</name>
    <message>
        <source>第%1/%2个物相：%3</source>
        <translation>Phase %1 of %2: %3</translation>
    </message>
    <message>
        <source>筛选已停止，未写入筛选结果。</source>
        <translation>Screening stopped; no screening result was written.</translation>
    </message>
</context>
<context>
    <name>saed::analysis::IdentifyRun</name>
    <message>
        <source>图像中没有检出斑点（空白或饱和的图像？）</source>
        <translation>no spots were detected in the image (blank or saturated?)</translation>
    </message>
    <message>
        <source>只检出一个斑点：无法确定倒易网</source>
        <translation>only one spot was detected: no reciprocal net can be found</translation>
    </message>
    <message>
        <source>斑点只有一行：请倾转到晶带轴</source>
        <translation>only one row of spots: tilt to a zone axis</translation>
    </message>
    <message>
        <source>这看起来是环花样（多晶），不是单晶斑点花样</source>
        <translation>this looks like a ring pattern (a polycrystal), not a single-crystal spot pattern</translation>
    </message>
    <message>
        <source>检出的斑点超过 %1 个：这不是单晶斑点花样（噪声或环花样？）</source>
        <translation>more than %1 spots were detected: this is not a single-crystal spot pattern (noise, or a ring pattern?)</translation>
    </message>
    <message>
        <source>检出的斑点不构成二维倒易网</source>
        <translation>the detected spots form no two-dimensional reciprocal net</translation>
    </message>
    <message>
        <source>倾转到另一晶带轴可区分</source>
        <translation>a tilt to another zone axis tells them apart</translation>
    </message>
    <message>
        <source>更准的标定或另一晶带轴可区分</source>
        <translation>a better calibration or another zone axis tells them apart</translation>
    </message>
</context>
<context>
    <name>saed::app::CalculatorPanel</name>
    <message>
        <source>夹角带轴计算</source>
        <translation>Angles and zone axis</translation>
    </message>
    <message>
        <source>晶带轴指数</source>
        <translation>Zone axis</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>四指数 (h k i l) 的 i：须为 -(h + k)；空着时按 h、k 算出</source>
        <translation>i of the four indices (h k i l): must be -(h + k); left empty, it follows from h and k</translation>
    </message>
    <message>
        <source>R%1 的四指数 (h k i l) 须满足 i = -(h + k)：i 应为 %2，而不是“%3”。</source>
        <translation>R%1 in four indices (h k i l) needs i = -(h + k): i should be %2, not &apos;%3&apos;.</translation>
    </message>
</context>
<context>
    <name>saed::app::CalibrationSelector</name>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>保存的标定（saedindex-cli calibrate --save 或环形花样中的“由标样标定”）：
它的相机常数给出标尺，它的椭圆畸变从测得的矢量中去除</source>
        <translation>Saved calibrations (saedindex-cli calibrate --save, or &quot;Calibrate from standard&quot; in the ring pattern view):
the camera constant gives the scale bar, and the elliptical distortion is removed from the measured vectors</translation>
    </message>
    <message>
        <source>标定库无法读取：%1</source>
        <translation>The calibration store cannot be read: %1</translation>
    </message>
    <message>
        <source>无法使用标定“%1”：%2</source>
        <translation>Cannot use the calibration &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>saed::app::Form1</name>
    <message>
        <source>saedindex 电子衍射花样标定</source>
        <translation>saedindex: SAED pattern indexing</translation>
    </message>
    <message>
        <source>斑点测量</source>
        <translation>Spot measurement</translation>
    </message>
    <message>
        <source>标定计算</source>
        <translation>Indexing</translation>
    </message>
    <message>
        <source>衍射模拟</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>无法保存语言设置：
</source>
        <translation>Cannot save the language setting:
</translation>
    </message>
    <message>
        <source>界面语言将在下次启动程序时改为%1。</source>
        <translation>The interface will be in %1 from the next start.</translation>
    </message>
    <message>
        <source>                你真的要退出吗? </source>
        <translation>Do you really want to quit?</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>倾转与取向</source>
        <translation>Tilt and orientation</translation>
    </message>
</context>
<context>
    <name>saed::app::Form2</name>
    <message>
        <source>测量</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>标尺</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>为       1/nm</source>
        <translation>is       1/nm</translation>
    </message>
    <message>
        <source>为       段</source>
        <translation>in       segments</translation>
    </message>
    <message>
        <source>标尺长度为%1像素</source>
        <translation>Scale bar length %1 px</translation>
    </message>
    <message>
        <source>R1测量长度为%1像素</source>
        <translation>R1 length %1 px</translation>
    </message>
    <message>
        <source>R2测量长度为%1像素</source>
        <translation>R2 length %1 px</translation>
    </message>
    <message>
        <source>R3测量长度为%1像素</source>
        <translation>R3 length %1 px</translation>
    </message>
</context>
<context>
    <name>saed::app::Form3</name>
    <message>
        <source>放大镜</source>
        <translation>Magnifier</translation>
    </message>
    <message>
        <source>0.5倍</source>
        <translation>0.5×</translation>
    </message>
    <message>
        <source>1倍</source>
        <translation>1×</translation>
    </message>
    <message>
        <source>2倍</source>
        <translation>2×</translation>
    </message>
    <message>
        <source>5倍</source>
        <translation>5×</translation>
    </message>
    <message>
        <source>放大镜 坐标(%1,%2)</source>
        <translation>Magnifier at (%1,%2)</translation>
    </message>
</context>
<context>
    <name>saed::app::GuardedApplication</name>
    <message>
        <source>内存不足，该操作已停止。窗口中的数据未受影响，请保存参数或导出结果。</source>
        <translation>Out of memory: the operation was stopped. The data in the window are unaffected; save the parameters or export the results.</translation>
    </message>
    <message>
        <source>程序内部错误：%1
该操作已停止，窗口中的数据未受影响。</source>
        <translation>Internal error: %1
The operation was stopped; the data in the window are unaffected.</translation>
    </message>
    <message>
        <source>程序内部错误。
该操作已停止，窗口中的数据未受影响。</source>
        <translation>Internal error.
The operation was stopped; the data in the window are unaffected.</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>saed::app::IdentifyPanel</name>
    <message>
        <source>识别物相</source>
        <translation>Identify phase</translation>
    </message>
    <message>
        <source>在勾选的物相（未勾选时为全部物相）中找出与图像斑点网相符的物相和晶带轴，按得分排序（回车键同此）</source>
        <translation>Find the phases and zone axes among the ticked phases (all phases when none is ticked) whose net matches the spots of the image, ranked by score (or press Enter)</translation>
    </message>
    <message>
        <source>标尺未知</source>
        <translation>Unknown scale</translation>
    </message>
    <message>
        <source>不用标尺示数和标尺测量，按每个候选拟合标定（相机长度未知时）</source>
        <translation>Ignore the scale bar fields and fit the calibration for each candidate (camera length unknown)</translation>
    </message>
    <message>
        <source>%v/%m 个物相</source>
        <translation>%v/%m phases</translation>
    </message>
    <message>
        <source>填入三斑点表</source>
        <translation>Fill three-spot table</translation>
    </message>
    <message>
        <source>把所选候选的物相、点阵参数和 R1、R2、R3 填入标定计算的表</source>
        <translation>Put the chosen candidate&apos;s phase, lattice parameters and R1, R2, R3 into the indexing fields</translation>
    </message>
    <message>
        <source>衍射模拟</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>在“衍射模拟”中查看所选候选，按图像的方向转好（双击候选同此）</source>
        <translation>Show the chosen candidate in Simulation, turned as the image lies (or double-click the candidate)</translation>
    </message>
    <message>
        <source>名次</source>
        <translation>Rank</translation>
    </message>
    <message>
        <source>物相</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>晶带族 &lt;uvw&gt;</source>
        <translation>Zone family &lt;uvw&gt;</translation>
    </message>
    <message>
        <source>晶带轴 [uvw]</source>
        <translation>Zone axis [uvw]</translation>
    </message>
    <message>
        <source>得分</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>几何</source>
        <translation>Geometry</translation>
    </message>
    <message>
        <source>预测可见</source>
        <translation>Predicted seen</translation>
    </message>
    <message>
        <source>解释斑点</source>
        <translation>Spots explained</translation>
    </message>
    <message>
        <source>强度</source>
        <translation>Intensity</translation>
    </message>
    <message>
        <source>标定 1/nm/px</source>
        <translation>Calibration 1/nm/px</translation>
    </message>
    <message>
        <source>并列</source>
        <translation>Tie</translation>
    </message>
    <message>
        <source>网的形状与标尺同所测之网的相符程度，0 到 1</source>
        <translation>How well the net&apos;s shape and scale agree with the measured net, 0 to 1</translation>
    </message>
    <message>
        <source>预测斑点中（按 |F|² 加权）在图像上看得到的比例</source>
        <translation>Share of the predicted spots (weighted by |F|²) that the image shows</translation>
    </message>
    <message>
        <source>检出斑点中候选能解释的个数</source>
        <translation>Detected spots the candidate explains</translation>
    </message>
    <message>
        <source>识别物相：打开图像后按“识别物相”或回车键</source>
        <translation>Identify phase: open an image, then press Identify phase or Enter</translation>
    </message>
    <message>
        <source>请先打开图像</source>
        <translation>Open an image first</translation>
    </message>
    <message>
        <source>物相库中没有可用的物相：请导入 CIF 或勾选带点阵参数的物相</source>
        <translation>The library has no usable phase: import a CIF or tick phases with lattice parameters</translation>
    </message>
    <message>
        <source>没有可用的物相</source>
        <translation>No usable phase</translation>
    </message>
    <message>
        <source>停止识别</source>
        <translation>Stop identifying</translation>
    </message>
    <message>
        <source>未勾选物相：在全部 %1 个物相中识别</source>
        <translation>No phase ticked: identifying among all %1 phases</translation>
    </message>
    <message>
        <source>在勾选的 %1 个物相中识别</source>
        <translation>Identifying among the %1 ticked phases</translation>
    </message>
    <message>
        <source>，标定 %1 1/nm/像素</source>
        <translation>, calibration %1 1/nm per pixel</translation>
    </message>
    <message>
        <source>，标尺未知：按每个候选拟合标定</source>
        <translation>, scale unknown: calibration fitted per candidate</translation>
    </message>
    <message>
        <source>，中心锁定在 (%1, %2)</source>
        <translation>, centre locked at (%1, %2)</translation>
    </message>
    <message>
        <source>识别已停止</source>
        <translation>Identification stopped</translation>
    </message>
    <message>
        <source>图像已更换：请重新识别</source>
        <translation>The image was changed: identify again</translation>
    </message>
    <message>
        <source>识别未成功：%1</source>
        <translation>Identification failed: %1</translation>
    </message>
    <message>
        <source>中心 (%1, %2) ± %3 px；a = %4 px，b = %5 px，夹角 %6 ± %7°；残差 %8 px；网上斑点 %9/%10</source>
        <translation>Centre (%1, %2) ± %3 px; a = %4 px, b = %5 px, angle %6 ± %7°; residual %8 px; spots on the net %9/%10</translation>
    </message>
    <message>
        <source>没有物相的晶带与该网相符</source>
        <translation>No zone of any phase matches this net</translation>
    </message>
    <message>
        <source>识别完成：没有物相的晶带与该网相符</source>
        <translation>Identification done: no zone of any phase matches this net</translation>
    </message>
    <message>
        <source>与第 %1 名并列：%2</source>
        <translation>Tied with rank %1: %2</translation>
    </message>
    <message>
        <source>得分 %1：几何 %2（形状偏差 %3σ，标尺偏差 %4σ），劳厄 %5，预测可见 %6（%7/%8 个），解释 %9/%10（二次衍射 %11），强度 %12；相机常数 %13 px·nm；a 上 %14，b 上 %15</source>
        <translation>Score %1: geometry %2 (shape misfit %3σ, scale misfit %4σ), Laue %5, predicted seen %6 (%7/%8), explained %9/%10 (double diffraction %11), intensity %12; camera constant %13 px·nm; %14 on a, %15 on b</translation>
    </message>
    <message>
        <source>识别完成：%1 个候选；第一名 %2 [%3]，得分 %4%5</source>
        <translation>Identification done: %1 candidates; first %2 [%3], score %4%5</translation>
    </message>
    <message>
        <source>（并列）</source>
        <translation> (tied)</translation>
    </message>
    <message>
        <source>请先在识别结果中选一个候选</source>
        <translation>Choose a candidate in the identification first</translation>
    </message>
    <message>
        <source>这个候选的网给不出一致的 R1、R2、R3 夹角</source>
        <translation>This candidate&apos;s net gives no consistent angles between R1, R2 and R3</translation>
    </message>
    <message>
        <source>物相库已改变，找不到物相 %1</source>
        <translation>The library has changed: phase %1 is no longer there</translation>
    </message>
    <message>
        <source>已按 %1 [%2] 填入点阵参数和 R1、R2、R3（R1 上 %3，R2 上 %4）</source>
        <translation>Lattice parameters and R1, R2, R3 filled from %1 [%2] (%3 on R1, %4 on R2)</translation>
    </message>
    <message>
        <source>，去除标定“%1”的畸变</source>
        <translation>, distortion of the calibration “%1” taken off</translation>
    </message>
    <message>
        <source>检出强度与平滑衰减下的 |F|² 的吻合，0 到 1：最吻合的候选为 1（无原子时为 1）</source>
        <translation>How well the detected intensities follow |F|² under a smooth fall-off, 0 to 1: 1 for the candidate that fits best (1 without atoms)</translation>
    </message>
</context>
<context>
    <name>saed::app::ImagePage</name>
    <message>
        <source>工具栏</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>还原</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>清屏</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>叠加模拟斑点</source>
        <translation>Overlay simulation</translation>
    </message>
    <message>
        <source>把所选行的模拟斑点画在图像上（g1 在 R1 上，g2 在 R2 上）</source>
        <translation>Draw the simulated spots of the selected row on the image (g1 on R1, g2 on R2)</translation>
    </message>
    <message>
        <source>吸附斑点</source>
        <translation>Snap to spots</translation>
    </message>
    <message>
        <source>松开鼠标时，线端移到附近斑点的亚像素中心</source>
        <translation>When the mouse is released, the line end moves to the sub-pixel centre of a nearby spot</translation>
    </message>
    <message>
        <source>找中心</source>
        <translation>Find centre</translation>
    </message>
    <message>
        <source>由对称斑点对找出透射斑中心；之后点击斑点即从中心画线</source>
        <translation>Find the transmitted-beam centre from pairs of symmetric spots; then a click on a spot draws a line from the centre</translation>
    </message>
    <message>
        <source>自动找斑点</source>
        <translation>Auto spots</translation>
    </message>
    <message>
        <source>找出斑点，选出 R1、R2、R3 并填入测量值</source>
        <translation>Find the spots, pick R1, R2 and R3 and fill in the measurements</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>线性</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>对数</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>伽马</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>裁剪 </source>
        <translation>Clip </translation>
    </message>
    <message>
        <source>两端各裁去的像素比例：更暗的成黑色，更亮的成白色</source>
        <translation>Fraction of pixels clipped at each end: darker ones turn black, brighter ones white</translation>
    </message>
    <message>
        <source>缩放 %1%</source>
        <translation>Zoom %1%</translation>
    </message>
    <message>
        <source>设为中心</source>
        <translation>Set centre</translation>
    </message>
    <message>
        <source>锁定中心</source>
        <translation>Lock centre</translation>
    </message>
    <message>
        <source>环形花样…</source>
        <translation>Ring pattern…</translation>
    </message>
    <message>
        <source>多晶的衍射环：中心、椭圆畸变、径向强度分布、物相标定和由标样求标定</source>
        <translation>Rings of a polycrystal: centre, elliptical distortion, radial profile, phase indexing and calibration from a standard</translation>
    </message>
    <message>
        <source>点击透射斑把中心设在那里并锁定；也可拖动绿色十字，或在图上用方向键微调（每次 0.1 像素，加 Shift 每次 1 像素），Esc 取消</source>
        <translation>Click the direct beam to put the centre there and lock it; or drag the green cross, or nudge it with the arrow keys on the image (0.1 pixel a press, 1 pixel with Shift); Esc cancels</translation>
    </message>
    <message>
        <source>自动找斑点和识别物相都以锁定的中心为透射斑，不再另求；在图上按 L 锁定或解锁</source>
        <translation>Auto spots and Identify phase take the locked centre as the direct beam instead of finding it; L on the image locks or frees it</translation>
    </message>
</context>
<context>
    <name>saed::app::ImagePattern</name>
    <message>
        <source>无法读取图像 %1：%2</source>
        <translation>Cannot read the image %1: %2</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 的斑点与 %2 的任何晶带都不相符</source>
        <translation>The spots of %1 fit no zone of %2</translation>
    </message>
</context>
<context>
    <name>saed::app::LatticePanel</name>
    <message>
        <source>点阵参数□</source>
        <translation>Type in a cell</translation>
    </message>
    <message>
        <source>点阵库</source>
        <translation>Phase library</translation>
    </message>
    <message>
        <source>指数范围</source>
        <translation>Index range</translation>
    </message>
    <message>
        <source>点阵类型</source>
        <translation>Lattice type</translation>
    </message>
    <message>
        <source>二次衍射</source>
        <translation>Double diffr.</translation>
    </message>
    <message>
        <source>也允许运动学禁止、但等于同一晶带中两个允许衍射之和的衍射（二次衍射）；用到它们的行在结果表中标有 ※</source>
        <translation>Also allow kinematically forbidden reflections that are the sum of two allowed reflections of the same zone (double diffraction); rows that use them are marked ※ in the result table</translation>
    </message>
    <message>
        <source>空间群 </source>
        <translation>Space group </translation>
    </message>
    <message>
        <source>按空间群：当前物相没有空间群</source>
        <translation>By space group: the current phase has no space group</translation>
    </message>
    <message>
        <source>按空间群：</source>
        <translation>By space group: </translation>
    </message>
    <message>
        <source>四指数</source>
        <translation>4-index</translation>
    </message>
    <message>
        <source>六方晶胞（a = b，α = β = 90°，γ = 120°）的晶面和晶向以四指数 (h k i l)、[U V T W] 显示：结果表、解族、计算、模拟、图像标注和极射赤面投影；报告和导出的文件仍为三指数</source>
        <translation>Planes and directions of a hexagonal cell (a = b, α = β = 90°, γ = 120°) shown in four indices (h k i l), [U V T W]: result table, families, calculator, simulation, image labels and stereogram; reports and exported files keep three indices</translation>
    </message>
    <message>
        <source>点阵参数□</source>
        <comment>the cell is open for typing; a click locks it</comment>
        <translation>Lock the cell</translation>
    </message>
    <message>
        <source>单击后可输入物相名称和点阵参数</source>
        <translation>Click to type in a phase name and cell</translation>
    </message>
    <message>
        <source>单击锁定点阵参数</source>
        <translation>Click to lock the cell</translation>
    </message>
</context>
<context>
    <name>saed::app::LibraryPanel</name>
    <message>
        <source>点阵库</source>
        <translation>Phase library</translation>
    </message>
    <message>
        <source>单选</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>多选</source>
        <translation>Multiple</translation>
    </message>
    <message>
        <source>导入CIF</source>
        <translation>Import CIF</translation>
    </message>
    <message>
        <source>从CIF文件或文件夹导入物相（含空间群和原子位置），导入的物相会保存下来</source>
        <translation>Import phases from CIF files or a folder (with space group and atom positions); imported phases are kept</translation>
    </message>
    <message>
        <source>CIF文件…</source>
        <translation>CIF files…</translation>
    </message>
    <message>
        <source>CIF文件夹…</source>
        <translation>CIF folder…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>数据库版本2016.11.29
勾选物相或其点阵参数，再按“计算选中项”逐个标定。
单选：只保留最后勾选的一项；多选：可勾选多项。</source>
        <translation>Database version 2016.11.29
Tick phases or their lattice parameters, then press “Index selected” to index them in turn.
Single: only the last ticked item stays; Multiple: tick several.</translation>
    </message>
    <message>
        <source>删除导入的物相</source>
        <translation>Delete imported phase</translation>
    </message>
    <message>
        <source>内置物相不能删除</source>
        <translation>Built-in phases cannot be deleted</translation>
    </message>
    <message>
        <source>正在筛选……</source>
        <translation>Screening…</translation>
    </message>
    <message>
        <source>筛选</source>
        <translation>Screening</translation>
    </message>
    <message>
        <source>空间群：无（按点阵类型消光）</source>
        <translation>Space group: none (extinction by lattice type)</translation>
    </message>
    <message>
        <source>空间群：%1</source>
        <translation>Space group: %1</translation>
    </message>
    <message>
        <source>筛选排名</source>
        <translation>Screening ranking</translation>
    </message>
    <message>
        <source>按最佳解族的失配度排序（越小越好）；双击或回车打开该物相的模拟花样。</source>
        <translation>Sorted by the misfit of the best solution family (smaller is better); double-click or press Enter to open the simulated pattern of the phase.</translation>
    </message>
    <message>
        <source>名次</source>
        <translation>Rank</translation>
    </message>
    <message>
        <source>物相</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>解数</source>
        <translation>Solutions</translation>
    </message>
    <message>
        <source>晶带轴</source>
        <translation>Zone axis</translation>
    </message>
    <message>
        <source>失配度</source>
        <translation>Misfit</translation>
    </message>
    <message>
        <source>族中行数</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Imported</translation>
    </message>
    <message>
        <source>内置</source>
        <translation>Built-in</translation>
    </message>
    <message>
        <source>物相</source>
        <comment>library root</comment>
        <translation>Phase</translation>
    </message>
    <message>
        <source>
导入的物相，可按Delete键删除</source>
        <translation>
Imported phase; press Delete to remove it</translation>
    </message>
</context>
<context>
    <name>saed::app::Main</name>
    <message>
        <source>用法：saedindex [--lang zh|en] [图像文件]

打开标定窗口；给出图像文件（.dm3/.dm4、TIFF、MRC、PNG 等）时打开该图像。

  --lang zh|en  本次启动的界面语言
  --version     版本
  --help        本说明

不开窗口的同样操作见 saedindex-cli --help。
</source>
        <translation>usage: saedindex [--lang zh|en] [IMAGE]

Opens the indexing window; with an image file (.dm3/.dm4, TIFF, MRC, PNG and others) opens
that image.

  --lang zh|en  the window&apos;s language for this start
  --version     the version
  --help        this text

The same operations without a window: saedindex-cli --help.
</translation>
    </message>
    <message>
        <source>未知选项 %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>无法保存四指数设置：%1</source>
        <translation>Cannot save the four-index setting: %1</translation>
    </message>
</context>
<context>
    <name>saed::app::MeasurementPanel</name>
    <message>
        <source>图片测量</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>实际测量长度</source>
        <translation>Measured length</translation>
    </message>
    <message>
        <source>段数</source>
        <translation>Segments</translation>
    </message>
    <message>
        <source>实际测量角度</source>
        <translation>Measured angle</translation>
    </message>
    <message>
        <source>标尺示数</source>
        <translation>Scale bar</translation>
    </message>
    <message>
        <source>标尺测量</source>
        <translation>Bar length</translation>
    </message>
    <message>
        <source>保存计算参数</source>
        <translation>Save parameters</translation>
    </message>
    <message>
        <source>导入%1</source>
        <translation>Load %1</translation>
    </message>
    <message>
        <source>标定</source>
        <translation>Calibration</translation>
    </message>
</context>
<context>
    <name>saed::app::OrientationPanel</name>
    <message>
        <source>倾转验证</source>
        <translation>Tilt check</translation>
    </message>
    <message>
        <source>保留当前结果为第一张花样</source>
        <translation>Keep the current result as the first pattern</translation>
    </message>
    <message>
        <source>第一张花样：未保留</source>
        <translation>First pattern: none kept</translation>
    </message>
    <message>
        <source>第二张花样：当前结果</source>
        <translation>Second pattern: the current result</translation>
    </message>
    <message>
        <source>单倾：倾转角</source>
        <translation>Single tilt: angle</translation>
    </message>
    <message>
        <source>双倾：α1 β1 α2 β2</source>
        <translation>Double tilt: α1 β1 α2 β2</translation>
    </message>
    <message>
        <source>容差（°）</source>
        <translation>Tolerance (°)</translation>
    </message>
    <message>
        <source>检验</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>第一张</source>
        <translation>First</translation>
    </message>
    <message>
        <source>第二张</source>
        <translation>Second</translation>
    </message>
    <message>
        <source>夹角（°）</source>
        <translation>Angle (°)</translation>
    </message>
    <message>
        <source>偏差（°）</source>
        <translation>Misfit (°)</translation>
    </message>
    <message>
        <source>取向与极射赤面投影</source>
        <translation>Orientation and stereographic projection</translation>
    </message>
    <message>
        <source>R1 在图像中的方向：度，自图像向右逆时针量</source>
        <translation>Where R1 points in the image: degrees counter-clockwise from the right</translation>
    </message>
    <message>
        <source>样品台 α 轴在图像中的方向：度，自图像向右逆时针量</source>
        <translation>The holder&apos;s alpha axis in the image: degrees counter-clockwise from the right</translation>
    </message>
    <message>
        <source>R1 方向（°）</source>
        <translation>R1 direction (°)</translation>
    </message>
    <message>
        <source>α 轴（°）</source>
        <translation>α axis (°)</translation>
    </message>
    <message>
        <source>当前 α, β（°）</source>
        <translation>Current α, β (°)</translation>
    </message>
    <message>
        <source>四指数</source>
        <translation>4-index</translation>
    </message>
    <message>
        <source>六方晶胞的晶面和晶带轴用四指数 (h k i l)、[U V T W] 显示</source>
        <translation>Show the planes and zone axes of a hexagonal cell in four indices (h k i l), [U V T W]</translation>
    </message>
    <message>
        <source>取向</source>
        <translation>Orient</translation>
    </message>
    <message>
        <source>所选结果行的晶体取向和极射赤面投影</source>
        <translation>The crystal orientation and stereographic projection of the selected result row</translation>
    </message>
    <message>
        <source>导出PNG</source>
        <translation>Export PNG</translation>
    </message>
    <message>
        <source>导出SVG</source>
        <translation>Export SVG</translation>
    </message>
    <message>
        <source>在“标定计算”中选一行，给出 R1 方向，再点“取向”。</source>
        <translation>Select a row under Indexing, give the direction of R1, then click Orient.</translation>
    </message>
    <message>
        <source>点击投影中的晶带轴，显示到达它的倾转。</source>
        <translation>Click a zone axis on the projection to see the tilt that reaches it.</translation>
    </message>
    <message>
        <source>导出极射赤面投影</source>
        <translation>Export the stereographic projection</translation>
    </message>
    <message>
        <source>PNG 图像 (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>SVG 图像 (*.svg)</source>
        <translation>SVG images (*.svg)</translation>
    </message>
    <message>
        <source>当前没有标定结果可保留；请先在“标定计算”中计算第一张花样。</source>
        <translation>There is no result to keep; index the first pattern under Indexing first.</translation>
    </message>
    <message>
        <source>第一张花样：%1，%2 行</source>
        <translation>First pattern: %1, %2 rows</translation>
    </message>
    <message>
        <source>%1须为数。</source>
        <translation>%1 must be a number.</translation>
    </message>
    <message>
        <source>倾转与取向</source>
        <translation>Tilt and orientation</translation>
    </message>
    <message>
        <source>请先保留第一张花样的结果，再标定第二张花样。</source>
        <translation>Keep the result of the first pattern first, then index the second pattern.</translation>
    </message>
    <message>
        <source>当前没有标定结果：请标定第二张花样。</source>
        <translation>There is no current result: index the second pattern.</translation>
    </message>
    <message>
        <source>两组结果来自不同的物相（%1 与 %2）；两张花样须用同一物相标定。</source>
        <translation>The two results come from different phases (%1 and %2); index both patterns with one phase.</translation>
    </message>
    <message>
        <source>容差</source>
        <translation>The tolerance</translation>
    </message>
    <message>
        <source>容差须在 0 到 90 度之间。</source>
        <translation>The tolerance must lie from 0 to 90 degrees.</translation>
    </message>
    <message>
        <source>倾转角</source>
        <translation>The tilt angle</translation>
    </message>
    <message>
        <source>倾转角须在 0 到 180 度之间：两个方向的夹角不超过 180°。</source>
        <translation>The tilt must lie from 0 to 180 degrees: two directions are at most 180° apart.</translation>
    </message>
    <message>
        <source>样品台读数</source>
        <translation>A holder reading</translation>
    </message>
    <message>
        <source>样品台读数须在 -180 到 180 度之间。</source>
        <translation>The holder readings must lie from -180 to 180 degrees.</translation>
    </message>
    <message>
        <source>无法检验该倾转：点阵参数构不成晶胞。</source>
        <translation>The tilt cannot be checked: the lattice parameters do not form a cell.</translation>
    </message>
    <message>
        <source>解族 %1 %2</source>
        <translation>family %1 %2</translation>
    </message>
    <message>
        <source>倾转角 %1°：保留 %2；排除 %3</source>
        <translation>Tilt %1°: kept %2; ruled out %3</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>请先在“标定计算”的结果表中选一行。</source>
        <translation>Select a row in the result table under Indexing first.</translation>
    </message>
    <message>
        <source>这个解没有图像中的方向：请给出 R1 在图像中的方向（度，自图像向右逆时针量）。</source>
        <translation>This solution has no direction in the image: give where R1 points in the image (degrees counter-clockwise from the right).</translation>
    </message>
    <message>
        <source>R1 方向</source>
        <translation>The R1 direction</translation>
    </message>
    <message>
        <source>α 轴方向</source>
        <translation>The α axis direction</translation>
    </message>
    <message>
        <source>α</source>
        <translation>α</translation>
    </message>
    <message>
        <source>β</source>
        <translation>β</translation>
    </message>
    <message>
        <source>这组点阵参数构不成晶胞。</source>
        <translation>The lattice parameters do not form a cell.</translation>
    </message>
    <message>
        <source>晶带轴 %1 沿电子束反方向（+Z）；Bunge 欧拉角 φ1 %2°，Φ %3°，φ2 %4°（样品系：X 向右，Y 向上，Z 指向观察者；晶体系：x 沿 a，z 沿 c*）</source>
        <translation>Zone axis %1 against the beam (+Z); Bunge Euler angles φ1 %2°, Φ %3°, φ2 %4° (sample frame: X right, Y up, Z towards the viewer; crystal frame: x along a, z along c*)</translation>
    </message>
    <message>
        <source>[%1]：倾转 %2°，方位 %3°</source>
        <translation>[%1]: tilt %2°, azimuth %3°</translation>
    </message>
    <message>
        <source>；α %1°，β %2°（Δα %3°，Δβ %4°）</source>
        <translation>; alpha %1°, beta %2° (change of alpha %3°, of beta %4°)</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>第一张用图像…</source>
        <translation>First from an image…</translation>
    </message>
    <message>
        <source>第二张用图像…</source>
        <translation>Second from an image…</translation>
    </message>
    <message>
        <source>第二张用当前结果</source>
        <translation>Second: current result</translation>
    </message>
    <message>
        <source>打开一张衍射图像，按“标定计算”中的物相识别：每个相符的晶带是一个解</source>
        <translation>Open a diffraction image and identify it against the phase of the indexing tab: each fitting zone is a solution</translation>
    </message>
    <message>
        <source>请先在“标定计算”中给出物相（点阵参数与点阵类型，或点阵库中的物相），图像按它识别。</source>
        <translation>First give the phase in the indexing tab (the cell and lattice type, or a phase of the library): the image is identified against it.</translation>
    </message>
    <message>
        <source>图像 %1（%2），%3 个候选，最佳 [%4]</source>
        <translation>image %1 (%2), %3 candidates, best [%4]</translation>
    </message>
    <message>
        <source>第一张花样：</source>
        <translation>First pattern: </translation>
    </message>
    <message>
        <source>第二张花样：</source>
        <translation>Second pattern: </translation>
    </message>
    <message>
        <source>候选 %1</source>
        <translation>candidate %1</translation>
    </message>
    <message>
        <source>第%1组</source>
        <translation>#%1</translation>
    </message>
    <message>
        <source>同时核对取向（按右侧的 α 轴方向）</source>
        <translation>Check the orientation too (with the α axis on the right)</translation>
    </message>
    <message>
        <source>两张花样都来自图像时，R1、R2 在图像中的方向已知：一对解还须是同一个晶体取向，即第一张的取向经样品台绕 α 轴转动后得到第二张的</source>
        <translation>When both patterns come from images, the directions of R1 and R2 in them are known: a pair must then also be one orientation of the crystal, the first turned by the holder about its α axis giving the second</translation>
    </message>
    <message>
        <source>取向偏差（°）</source>
        <translation>Orientation misfit (°)</translation>
    </message>
    <message>
        <source>%1没有图像中的方向（由数值标定的结果不知 R1、R2 在图像中的方向）：核对取向须两张花样都来自图像。</source>
        <translation>%1 has no directions in an image (a result indexed from numbers does not know where R1 and R2 point in the image): checking the orientation needs both patterns from images.</translation>
    </message>
    <message>
        <source>第二张花样</source>
        <translation>The second pattern</translation>
    </message>
    <message>
        <source>第一张花样</source>
        <translation>The first pattern</translation>
    </message>
    <message>
        <source>无法核对取向：同一张图像中 R1 和 R2 的方向平行。</source>
        <translation>Cannot check the orientation: R1 and R2 of one image are parallel.</translation>
    </message>
    <message>
        <source>（取向按 α 轴方向 %1° 核对）</source>
        <translation> (orientation checked with the α axis at %1°)</translation>
    </message>
    <message>
        <source>正在识别图像 %1（%2）…</source>
        <translation>identifying image %1 (%2)…</translation>
    </message>
    <message>
        <source>停止识别</source>
        <translation>Stop identifying</translation>
    </message>
</context>
<context>
    <name>saed::app::PanelWidgets</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>saed::app::ProgramMenu</name>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>打开图像…</source>
        <translation>Open image…</translation>
    </message>
    <message>
        <source>最近打开的图像</source>
        <translation>Recent images</translation>
    </message>
    <message>
        <source>导出标定结果</source>
        <translation>Export indexing results</translation>
    </message>
    <message>
        <source>把结果表写成标定结果文件，放在报告文件夹中</source>
        <translation>Writes the result table as an indexing report into the reports folder</translation>
    </message>
    <message>
        <source>报告文件夹…</source>
        <translation>Reports folder…</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>关于 saedindex</source>
        <translation>About saedindex</translation>
    </message>
    <message>
        <source>选择报告文件夹</source>
        <translation>Choose the reports folder</translation>
    </message>
    <message>
        <source>无法保存报告文件夹设置：
%1</source>
        <translation>Cannot save the reports folder setting:
%1</translation>
    </message>
    <message>
        <source>标定结果文件将写入：%1</source>
        <translation>Indexing reports will be written to: %1</translation>
    </message>
    <message>
        <source>saedindex %1
选区电子衍射花样标定

许可证：BSD-3-Clause
版权所有 © The saedindex developers

使用的库：
Qt %2
gemmi %3
%4</source>
        <translation>saedindex %1
Indexing of selected-area electron diffraction patterns

Licence: BSD-3-Clause
Copyright © The saedindex developers

Libraries:
Qt %2
gemmi %3
%4</translation>
    </message>
</context>
<context>
    <name>saed::app::ResultsPanel</name>
    <message>
        <source>按解族显示</source>
        <translation>Group by solution family</translation>
    </message>
    <message>
        <source>每个解族一行：按对称性等价的晶带轴与 {hkl} 相同的各行；展开可见其各行</source>
        <translation>One line per solution family: the rows whose zone axes and {hkl} are equivalent by symmetry; expand it to see its rows</translation>
    </message>
    <message>
        <source>计算晶带轴</source>
        <translation>Compute zone axis</translation>
    </message>
    <message>
        <source>导出标定结果</source>
        <translation>Export indexing results</translation>
    </message>
    <message>
        <source>导出为CSV表格…</source>
        <translation>Export as CSV table…</translation>
    </message>
    <message>
        <source>结果表的每一行，UTF-8，可用电子表格打开</source>
        <translation>Every row of the result table, UTF-8, opens in a spreadsheet</translation>
    </message>
    <message>
        <source>导出为JSON…</source>
        <translation>Export as JSON…</translation>
    </message>
    <message>
        <source>输入、测量值、每一行与解族，格式与命令行 --format json 相同</source>
        <translation>Inputs, measurements, every row and the families, as the command line&apos;s --format json</translation>
    </message>
    <message>
        <source>解族</source>
        <translation>Family</translation>
    </message>
    <message>
        <source>代表行</source>
        <translation>Best row</translation>
    </message>
    <message>
        <source>晶带轴族</source>
        <translation>Zone axes</translation>
    </message>
    <message>
        <source>行数</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>失配度</source>
        <translation>Misfit</translation>
    </message>
    <message>
        <source>匹配度</source>
        <translation>Match</translation>
    </message>
    <message>
        <source>匹配度：图像内预测斑点有检出斑点的比例与检出斑点被预测的比例的调和平均（0 到 1）</source>
        <translation>Match: harmonic mean of the fraction of predicted spots in the image that were detected and the fraction of detected spots that were predicted (0 to 1)</translation>
    </message>
    <message>
        <source>R1 和 R2 的斑点间距数 N 须为不小于 1 的整数；匹配度未计算</source>
        <translation>The spot spacings N of R1 and R2 must be whole numbers of at least 1; no match was computed</translation>
    </message>
    <message>
        <source>%1 在图像上的匹配度 %2：预测斑点 %3/%4 有检出，检出斑点 %5/%6 被预测</source>
        <translation>%1 matches the image at %2: %3/%4 predicted spots detected, %5/%6 detected spots predicted</translation>
    </message>
    <message>
        <source>导出JSON</source>
        <translation>Export JSON</translation>
    </message>
    <message>
        <source>JSON 文件</source>
        <translation>JSON file</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>CSV 表格</source>
        <translation>CSV table</translation>
    </message>
    <message>
        <source>无法写入文件：
%1
%2</source>
        <translation>Cannot write the file:
%1
%2</translation>
    </message>
    <message>
        <source>已导出：%1</source>
        <translation>Exported: %1</translation>
    </message>
</context>
<context>
    <name>saed::app::RingsView</name>
    <message>
        <source>找不到可用的中心</source>
        <translation>No usable centre was found</translation>
    </message>
    <message>
        <source>图像中没有高出背底的衍射环</source>
        <translation>No diffraction ring stands out of the background</translation>
    </message>
    <message>
        <source>这是斑点花样，不是连续的衍射环（斑点花样请用“自动找斑点”）；若确为织构的环，勾选“按环处理”</source>
        <translation>This is a spot pattern, not continuous rings (for spot patterns use Auto spots); if these are textured rings, tick &quot;Treat as rings&quot;</translation>
    </message>
    <message>
        <source>只有一个衍射环：求不出畸变和相机常数</source>
        <translation>Only one ring: no distortion or camera constant can be found</translation>
    </message>
    <message>
        <source>环形花样</source>
        <translation>Ring pattern</translation>
    </message>
    <message>
        <source>测量环</source>
        <translation>Measure rings</translation>
    </message>
    <message>
        <source>在当前图像上找中心、各环共有的椭圆畸变、径向强度分布和各环，再用物相库中勾选的物相（未勾选时用全部）给各环标定</source>
        <translation>Find the centre, the elliptical distortion shared by the rings, the radial profile and the rings on the open image, then index the rings with the ticked phases of the library (all when none is ticked)</translation>
    </message>
    <message>
        <source>按环处理</source>
        <translation>Treat as rings</translation>
    </message>
    <message>
        <source>即使环不连续（织构）也按环花样处理</source>
        <translation>Treat the pattern as rings even when they are not continuous (texture)</translation>
    </message>
    <message>
        <source>对数坐标</source>
        <translation>Log scale</translation>
    </message>
    <message>
        <source>图中标出 (hkl) 的物相</source>
        <translation>The phase whose rings are marked (hkl) in the plot</translation>
    </message>
    <message>
        <source>标记物相</source>
        <translation>Marked phase</translation>
    </message>
    <message>
        <source>由标样标定…</source>
        <translation>Calibrate from standard…</translation>
    </message>
    <message>
        <source>各环与所选标样的衍射相配，求相机常数；连同椭圆畸变保存为标定，供“标定”选用</source>
        <translation>Match the rings to the chosen standard&apos;s reflections for the camera constant; save it with the elliptical distortion as a calibration to choose under &quot;Calibration&quot;</translation>
    </message>
    <message>
        <source>导出图…</source>
        <translation>Export plot…</translation>
    </message>
    <message>
        <source>导出 CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>标样</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>请先打开图像</source>
        <translation>Open an image first</translation>
    </message>
    <message>
        <source>取自保存的标定“%1”</source>
        <translation>from the saved calibration &quot;%1&quot;</translation>
    </message>
    <message>
        <source>取自图像文件</source>
        <translation>from the image file</translation>
    </message>
    <message>
        <source>正在测量衍射环……</source>
        <translation>Measuring the rings…</translation>
    </message>
    <message>
        <source>%1 个环；中心 (%2, %3) 像素</source>
        <translation>%1 rings; centre (%2, %3) px</translation>
    </message>
    <message>
        <source>半径（像素）</source>
        <translation>Radius (pixels)</translation>
    </message>
    <message>
        <source>平均强度（对数）</source>
        <translation>Mean intensity (log)</translation>
    </message>
    <message>
        <source>平均强度</source>
        <translation>Mean intensity</translation>
    </message>
    <message>
        <source>中心 %1, %2 像素（± %3, %4）</source>
        <translation>Centre %1, %2 px (± %3, %4)</translation>
    </message>
    <message>
        <source>椭圆畸变：轴比 %1 ± %2，长轴 %3° ± %4°</source>
        <translation>Elliptical distortion: axis ratio %1 ± %2, major axis %3° ± %4°</translation>
    </message>
    <message>
        <source>相机常数 %1 1/nm 每像素，%2</source>
        <translation>Camera constant %1 1/nm per pixel, %2</translation>
    </message>
    <message>
        <source>图像没有标定：每个物相各自拟合相机常数</source>
        <translation>The image has no calibration: each phase fits its own camera constant</translation>
    </message>
    <message>
        <source>环  半径/像素  不确定度  宽度/像素  |g|/(1/nm)  d/nm  物相 (hkl)</source>
        <translation>Ring  radius/px  uncertainty  width/px  |g|/(1/nm)  d/nm  phase (hkl)</translation>
    </message>
    <message>
        <source>（无法解释）</source>
        <translation>(unexplained)</translation>
    </message>
    <message>
        <source>物相排名（得分 0 到 1）：</source>
        <translation>Phase ranking (score 0 to 1):</translation>
    </message>
    <message>
        <source>%1  %2  得分 %3  解释 %4/%5 个环</source>
        <translation>%1  %2  score %3  explains %4/%5 rings</translation>
    </message>
    <message>
        <source>混合物：%1 解释了 %2 留下的环</source>
        <translation>Mixture: %1 explains the rings %2 leaves</translation>
    </message>
    <message>
        <source>无法解释的环：%1</source>
        <translation>Unexplained rings: %1</translation>
    </message>
    <message>
        <source>无法生成 PNG 图</source>
        <translation>Cannot make the PNG picture</translation>
    </message>
    <message>
        <source>导出径向分布图</source>
        <translation>Export radial profile plot</translation>
    </message>
    <message>
        <source>PNG 图像|*.png|SVG 图像|*.svg</source>
        <translation>PNG image|*.png|SVG image|*.svg</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>图已写入 %1</source>
        <translation>Plot written to %1</translation>
    </message>
    <message>
        <source>导出径向分布</source>
        <translation>Export radial profile</translation>
    </message>
    <message>
        <source>CSV 文件|*.csv</source>
        <translation>CSV file|*.csv</translation>
    </message>
    <message>
        <source>径向分布已写入 %1</source>
        <translation>Radial profile written to %1</translation>
    </message>
    <message>
        <source>没有一个环与它的衍射相配</source>
        <translation>no ring matches its reflections</translation>
    </message>
    <message>
        <source>只有 %1/%2 个环相配，解释了 %3 % 的环强度，缺失的强衍射占 %4 %</source>
        <translation>only %1/%2 rings match, explaining %3 % of the ring intensity; missing strong reflections amount to %4 %</translation>
    </message>
    <message>
        <source>衍射环与标样 %1 不符：%2。未保存标定。</source>
        <translation>The rings do not match the standard %1: %2. No calibration was saved.</translation>
    </message>
    <message>
        <source>标样 %1：相机常数 %2 ± %3 1/nm 每像素（10 1/nm = %4 像素），相对残差均方根 %5</source>
        <translation>Standard %1: camera constant %2 ± %3 1/nm per pixel (10 1/nm = %4 px), relative rms residual %5</translation>
    </message>
    <message>
        <source>文件自带的标定：%1 1/nm 每像素，与此相差 %2 %</source>
        <translation>The file&apos;s own calibration: %1 1/nm per pixel, %2 % from this</translation>
    </message>
    <message>
        <source>保存标定</source>
        <translation>Save calibration</translation>
    </message>
    <message>
        <source>标定名称（如“200kV 250mm”）：</source>
        <translation>Name of the calibration (e.g. &quot;200kV 250mm&quot;):</translation>
    </message>
    <message>
        <source>标定名称不能为空。未保存标定。</source>
        <translation>The name cannot be empty. No calibration was saved.</translation>
    </message>
    <message>
        <source>标定名称不能含换行、[、] 或 =。未保存标定。</source>
        <translation>The name cannot hold a line break, [, ] or =. No calibration was saved.</translation>
    </message>
    <message>
        <source>标定名称首尾不能有空格。未保存标定。</source>
        <translation>The name cannot start or end with a blank. No calibration was saved.</translation>
    </message>
    <message>
        <source>显微镜（可空）：</source>
        <translation>Microscope (may be empty):</translation>
    </message>
    <message>
        <source>加速电压 kV（可空）：</source>
        <translation>Accelerating voltage in kV (may be empty):</translation>
    </message>
    <message>
        <source>相机长度 mm（可空）：</source>
        <translation>Camera length in mm (may be empty):</translation>
    </message>
    <message>
        <source>像素合并（可空，默认 1）：</source>
        <translation>Binning (may be empty, default 1):</translation>
    </message>
    <message>
        <source>“%1”不是正数。未保存标定。</source>
        <translation>&quot;%1&quot; is not a positive number. No calibration was saved.</translation>
    </message>
    <message>
        <source>像素合并须为 1 到 64 的整数。未保存标定。</source>
        <translation>The binning must be a whole number from 1 to 64. No calibration was saved.</translation>
    </message>
    <message>
        <source>已有名为“%1”的标定。替换它吗？</source>
        <translation>A calibration named &quot;%1&quot; exists already. Replace it?</translation>
    </message>
    <message>
        <source>标定未保存：%1</source>
        <translation>The calibration was not saved: %1</translation>
    </message>
    <message>
        <source>已保存为标定“%1”</source>
        <translation>Saved as the calibration &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>saed::app::RunPanel</name>
    <message>
        <source>调节误差</source>
        <translation>Adjust tol.</translation>
    </message>
    <message>
        <source>比对误差</source>
        <translation>Tolerance</translation>
    </message>
    <message>
        <source>图片计算</source>
        <translation>From image</translation>
    </message>
    <message>
        <source>从数据库中筛选如下</source>
        <translation>Matching rows</translation>
    </message>
    <message>
        <source>单击恢复默认误差</source>
        <translation>Click to restore the default tolerances</translation>
    </message>
    <message>
        <source>正在标定计算……</source>
        <translation>Indexing…</translation>
    </message>
    <message>
        <source>标定计算</source>
        <translation>Indexing</translation>
    </message>
</context>
<context>
    <name>saed::app::Settings</name>
    <message>
        <source>无法保存设置（最近打开的图像、文件夹、界面选项），磁盘可能已满：%1</source>
        <translation>Cannot save the settings (recent images, folders, display options); the disk may be full: %1</translation>
    </message>
</context>
<context>
    <name>saed::app::SimulationPanel</name>
    <message>
        <source>按空间群：%1</source>
        <translation>By space group: %1</translation>
    </message>
    <message>
        <source>此物相没有空间群，请选择点阵类型。</source>
        <translation>This phase has no space group; choose a lattice type.</translation>
    </message>
    <message>
        <source>点阵参数无法构成晶胞。</source>
        <translation>The lattice parameters do not form a unit cell.</translation>
    </message>
    <message>
        <source>晶带轴不能为 [0 0 0]。</source>
        <translation>The zone axis cannot be [0 0 0].</translation>
    </message>
    <message>
        <source>最大 |g| 对此晶胞过大，请减小。</source>
        <translation>Max |g| is too large for this cell; reduce it.</translation>
    </message>
    <message>
        <source>最大 |g| 之内没有允许的衍射斑点。</source>
        <translation>No allowed reflections within max |g|.</translation>
    </message>
    <message>
        <source>所选行的 g1、g2 不在此晶带内。</source>
        <translation>The g1 and g2 of the selected row are not in this zone.</translation>
    </message>
    <message>
        <source>物相：—</source>
        <translation>Phase: —</translation>
    </message>
    <message>
        <source>点阵类型</source>
        <translation>Lattice type</translation>
    </message>
    <message>
        <source>晶带轴 [uvw]</source>
        <translation>Zone axis [uvw]</translation>
    </message>
    <message>
        <source>最大 |g| (1/nm)</source>
        <translation>Max |g| (1/nm)</translation>
    </message>
    <message>
        <source>标注 (hkl)</source>
        <translation>Label (hkl)</translation>
    </message>
    <message>
        <source>导出PNG</source>
        <translation>Export PNG</translation>
    </message>
    <message>
        <source>导出SVG</source>
        <translation>Export SVG</translation>
    </message>
    <message>
        <source>物相：%1  (%2, %3, %4 nm; %5°, %6°, %7°)</source>
        <translation>Phase: %1  (%2, %3, %4 nm; %5°, %6°, %7°)</translation>
    </message>
    <message>
        <source>；消光：</source>
        <translation>; extinctions: </translation>
    </message>
    <message>
        <source>没有可导出的衍射图。</source>
        <translation>There is no pattern to export.</translation>
    </message>
    <message>
        <source>无法写入文件：
</source>
        <translation>Cannot write the file:
</translation>
    </message>
    <message>
        <source>已导出：</source>
        <translation>Exported: </translation>
    </message>
    <message>
        <source>四指数</source>
        <translation>4-index</translation>
    </message>
    <message>
        <source>六方晶胞：晶带轴以 [U V T W] 输入，斑点标为 (h k i l)</source>
        <translation>Hexagonal cell: the zone axis is typed as [U V T W] and the spots are labelled (h k i l)</translation>
    </message>
    <message>
        <source>晶带轴 [UVTW]</source>
        <translation>Zone axis [UVTW]</translation>
    </message>
    <message>
        <source>四指数 [U V T W] 须满足 T = -(U + V)：T 应为 %1。</source>
        <translation>Four indices [U V T W] need T = -(U + V): T should be %1.</translation>
    </message>
    <message>
        <source>晶带轴 [%1]：%2 个斑点，g1 = %3 沿 R1%4</source>
        <translation>Zone axis [%1]: %2 spots, g1 = %3 along R1%4</translation>
    </message>
    <message>
        <source>；按图像转过 %1°</source>
        <translation>; turned %1° as the image lies</translation>
    </message>
    <message>
        <source>请在“标定计算”页输入点阵参数，或从点阵库选择物相。</source>
        <translation>Type a cell on the “Indexing” tab or choose a phase from the Phase library.</translation>
    </message>
</context>
<context>
    <name>saed::calculator</name>
    <message>
        <source>点阵参数无法构成晶胞！</source>
        <translation>The lattice parameters do not form a unit cell!</translation>
    </message>
</context>
<context>
    <name>saed::indexing::IndexingOperations</name>
    <message>
        <source>结果超过%1行，计算已在此停止，只保留前%1行。
请缩小误差范围或指数范围后重新计算。</source>
        <translation>More than %1 rows: the run stopped here and kept the first %1 rows.
Narrow the tolerances or the index range and run again.</translation>
    </message>
    <message>
        <source>计算已取消，保留已找到的%1行。</source>
        <translation>Run cancelled; the %1 rows found are kept.</translation>
    </message>
    <message>
        <source>内存不足，计算已停止。请缩小误差范围或指数范围后重新计算。</source>
        <translation>Out of memory: the run stopped. Narrow the tolerances or the index range and run again.</translation>
    </message>
    <message>
        <source>计算出错：</source>
        <translation>The run failed: </translation>
    </message>
    <message>
        <source>指数范围必须在0到99之间！</source>
        <translation>The index range must be between 0 and 99!</translation>
    </message>
    <message>
        <source>标尺示数和测量长度不能为0！</source>
        <translation>The scale bar value and the measured lengths must not be 0!</translation>
    </message>
    <message>
        <source>点阵参数无法构成晶胞！</source>
        <translation>The lattice parameters do not form a unit cell!</translation>
    </message>
    <message>
        <source>没有找到误差范围内的解（0 行）：可放宽误差或增大指数范围。</source>
        <translation>No solution within the tolerances (0 rows): widen the tolerances or raise the index range.</translation>
    </message>
    <message>
        <source>结果超过%1行，计算已在此停止，没有输出任何结果。
请缩小误差范围或指数范围后重新计算。</source>
        <translation>More than %1 rows: the run stopped there and gives no result.
Narrow the tolerances or the index range and run again.</translation>
    </message>
</context>
<context>
    <name>saed::library::CrystalLibrary</name>
    <message>
        <source>: 文件夹中没有CIF文件</source>
        <translation>: no CIF files in the folder</translation>
    </message>
    <message>
        <source>%1：文件有 %2 字节，超过 CIF 文件的上限 %3 字节</source>
        <translation>%1: the file has %2 bytes, beyond the limit of %3 bytes for a CIF file</translation>
    </message>
</context>
<context>
    <name>saed::library::LibraryOperations</name>
    <message>
        <source>导入的物相无法读取，本次不显示：
</source>
        <translation>The imported phases cannot be read and are not shown this time:
</translation>
    </message>
    <message>
        <source>无法导入CIF：
</source>
        <translation>Cannot import CIF:
</translation>
    </message>
    <message>
        <source>无法备份无法读取的物相文件，未导入：
</source>
        <translation>Cannot back up the unreadable phase file; nothing was imported:
</translation>
    </message>
    <message>
        <source>无法保存导入的物相，未导入：
</source>
        <translation>Cannot save the imported phases; nothing was imported:
</translation>
    </message>
    <message>
        <source>导入了%1个物相（%2个已在库中）</source>
        <translation>Imported %1 phases (%2 already in the library)</translation>
    </message>
    <message>
        <source>以下CIF未能导入：
</source>
        <translation>These CIF files could not be imported:
</translation>
    </message>
    <message>
        <source>读到%1个数据块，请勾选要导入的物相：</source>
        <translation>Read %1 data blocks; tick the phases to import:</translation>
    </message>
    <message>
        <source>导入CIF</source>
        <translation>Import CIF</translation>
    </message>
    <message>
        <source>导入CIF文件</source>
        <translation>Import CIF files</translation>
    </message>
    <message>
        <source>CIF|*.cif;*.CIF|所有文件|*</source>
        <translation>CIF|*.cif;*.CIF|All files|*</translation>
    </message>
    <message>
        <source>导入CIF文件夹</source>
        <translation>Import CIF folder</translation>
    </message>
</context>
<context>
    <name>saed::library::Screening</name>
    <message>
        <source>无法写入筛选结果文件：
</source>
        <translation>Cannot write the screening results file:
</translation>
    </message>
    <message>
        <source>筛选结果文件写入不完整：
</source>
        <translation>The screening results file was not written completely:
</translation>
    </message>
</context>
<context>
    <name>saed::measure::ImageMeasurement</name>
    <message>
        <source>所有格式图像|*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png;*.dm3;*.dm4;*.mrc;*.map;*.st;*.ccp4|JPEG图像(*.jpg;*.jpeg)|*.jpg;*.jpeg|BMP图像(*.bmp)|*.bmp|GIF图像(*.gif)|*.gif|TIFF图像(*.tif;*.tiff)|*.tif;*.tiff|PNG图像(*.png)|*.png|显微镜图像(*.dm3;*.dm4;*.mrc)|*.dm3;*.dm4;*.mrc;*.map;*.st;*.ccp4</source>
        <translation>All images|*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png;*.dm3;*.dm4;*.mrc;*.map;*.st;*.ccp4|JPEG images(*.jpg;*.jpeg)|*.jpg;*.jpeg|BMP images(*.bmp)|*.bmp|GIF images(*.gif)|*.gif|TIFF images(*.tif;*.tiff)|*.tif;*.tiff|PNG images(*.png)|*.png|Microscope images(*.dm3;*.dm4;*.mrc)|*.dm3;*.dm4;*.mrc;*.map;*.st;*.ccp4</translation>
    </message>
    <message>
        <source>图像太大，无法打开：</source>
        <translation>The image is too large to open: </translation>
    </message>
    <message>
        <source>无法读取图像文件：</source>
        <translation>Cannot read the image file: </translation>
    </message>
    <message>
        <source>标尺取自图像文件：10 1/nm 为 %1 像素（每像素 %2 1/nm）</source>
        <translation>Scale from the image file: 10 1/nm = %1 px (%2 1/nm per pixel)</translation>
    </message>
    <message>
        <source>图像文件的标尺是实空间的（每像素 %1 nm），不是衍射标定；标尺示数和标尺测量未填写</source>
        <translation>The scale of the image file is in real space (%1 nm per pixel), not a diffraction calibration; the scale bar fields were left empty</translation>
    </message>
    <message>
        <source>请先打开图像</source>
        <translation>Open an image first</translation>
    </message>
    <message>
        <source>找不到中心斑：成对的对称斑点太少</source>
        <translation>No centre found: too few pairs of symmetric spots</translation>
    </message>
    <message>
        <source>中心斑在 (%1, %2) 像素；点击斑点即从中心画线</source>
        <translation>Centre at (%1, %2) px; a click on a spot draws a line from the centre</translation>
    </message>
    <message>
        <source>自动找斑点未成功：</source>
        <translation>Automatic spot finding failed: </translation>
    </message>
    <message>
        <source>找到 %1 个斑点：R1 = %2，R2 = %3，R3 = %4 像素</source>
        <translation>Found %1 spots: R1 = %2, R2 = %3, R3 = %4 px</translation>
    </message>
    <message>
        <source>缩放 %1%</source>
        <translation>Zoom %1%</translation>
    </message>
    <message>
        <source>   像素 (%1, %2)</source>
        <translation>   pixel (%1, %2)</translation>
    </message>
    <message>
        <source>中心已锁定：自动找斑点和识别物相都以它为透射斑</source>
        <translation>Centre locked: Auto spots and Identify phase take it as the direct beam</translation>
    </message>
    <message>
        <source>中心不再锁定：自动找斑点和识别物相重新求中心</source>
        <translation>Centre unlocked: Auto spots and Identify phase find the centre again</translation>
    </message>
    <message>
        <source>点击透射斑，把中心设在那里并锁定</source>
        <translation>Click the direct beam to put the centre there and lock it</translation>
    </message>
    <message>
        <source>中心设在 (%1, %2) 像素并锁定：自动找斑点和识别物相都以它为透射斑</source>
        <translation>Centre set at (%1, %2) px and locked: Auto spots and Identify phase take it as the direct beam</translation>
    </message>
    <message>
        <source>椭圆畸变</source>
        <translation>elliptical distortion</translation>
    </message>
    <message>
        <source>去除标定的畸变后，R1、R2、R3 给不出一致的夹角</source>
        <translation>without the calibration&apos;s distortion, R1, R2 and R3 give no consistent angles</translation>
    </message>
    <message>
        <source>标尺取自标定“%1”：每像素 %2 1/nm，椭圆畸变 %3（长轴 %4°）已从测得的矢量中去除</source>
        <translation>Scale bar from the calibration &quot;%1&quot;: %2 1/nm per pixel; the elliptical distortion %3 (major axis %4°) is removed from the measured vectors</translation>
    </message>
    <message>
        <source>文件自带 %1 1/nm/px（%2 %）</source>
        <translation>File&apos;s own: %1 1/nm/px (%2 %)</translation>
    </message>
    <message>
        <source>图像文件自带的标定（每像素 %1 1/nm）与所选标定“%2”（每像素 %3 1/nm）相差 %4 %。
请核对所选标定是否属于这张图的相机长度和像素合并；计算用的是所选标定。</source>
        <translation>The image file&apos;s own calibration (%1 1/nm per pixel) differs from the chosen calibration &quot;%2&quot; (%3 1/nm per pixel) by %4 %.
Check that the chosen calibration belongs to this image&apos;s camera length and binning; the chosen calibration is used.</translation>
    </message>
    <message>
        <source>还没有中心：先点“找中心”，或点“设为中心”再点击透射斑</source>
        <translation>No centre yet: click Find centre, or Set centre and then the direct beam</translation>
    </message>
    <message>
        <source>中心移到 (%1, %2) 像素并锁定；方向键每次 0.1 像素，加 Shift 每次 1 像素，L 解锁</source>
        <translation>Centre moved to (%1, %2) pixels and locked; arrow keys move it 0.1 pixel, with Shift 1 pixel; L frees it</translation>
    </message>
</context>
<context>
    <name>saed::model::Caption</name>
    <message>
        <source>标定计算</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>计算选中项</source>
        <translation>Index selected</translation>
    </message>
    <message>
        <source>点阵标尺</source>
        <translation>Lattice and scale</translation>
    </message>
    <message>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>测量</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>简单点阵</source>
        <translation>Primitive</translation>
    </message>
    <message>
        <source>底心点阵</source>
        <translation>Base-centred</translation>
    </message>
    <message>
        <source>体心点阵</source>
        <translation>Body-centred</translation>
    </message>
    <message>
        <source>面心点阵</source>
        <translation>Face-centred</translation>
    </message>
    <message>
        <source>菱形点阵</source>
        <translation>HCP extinctions</translation>
    </message>
    <message>
        <source>按空间群</source>
        <translation>By space group</translation>
    </message>
    <message>
        <source>请输入物相名称</source>
        <translation>Enter the name of the phase</translation>
    </message>
    <message>
        <source>点阵标尺◇</source>
        <translation>Lattice and scale ◇</translation>
    </message>
    <message>
        <source>消去 h + 2k = 3n 且 l 为奇数的衍射：六方密堆积（hcp）结构的消光，不是菱面体心（R）点阵的 −h + k + l = 3n。R 空间群的物相请选“按空间群”。</source>
        <translation>Removes the reflections with h + 2k = 3n and l odd: the extinctions of the hexagonal close-packed (hcp) structure, not the rhombohedral (R) centring −h + k + l = 3n. For a phase of an R space group choose “By space group”.</translation>
    </message>
    <message>
        <source>简单六方</source>
        <translation>simple hexagonal</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>unknown</translation>
    </message>
</context>
<context>
    <name>saed::model::Language</name>
    <message>
        <source>--lang 只接受 zh 或 en，而不是“%1”</source>
        <translation>--lang accepts only zh or en, not “%1”</translation>
    </message>
</context>
<context>
    <name>saed::model::ResultTableModel</name>
    <message>
        <source>组号</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>晶带轴</source>
        <translation>Zone axis</translation>
    </message>
    <message>
        <source>失配度</source>
        <translation>Misfit</translation>
    </message>
    <message>
        <source>匹配度</source>
        <translation>Match</translation>
    </message>
    <message>
        <source>失配度 = √( ( Σ((DTn − dn) / Δdn)² + Σ((An − Mn) / ΔAn)² ) / 6 )，n = 1..3：
DTn、An 为该行的面间距与夹角，dn、Mn 为测量值，Δdn、ΔAn 为标定时的误差。
0 为完全吻合；六项都在误差之内的行不大于 1。</source>
        <translation>Misfit = √( ( Σ((DTn − dn) / Δdn)² + Σ((An − Mn) / ΔAn)² ) / 6 ), n = 1..3:
DTn, An are the d-spacings and angles of the row, dn, Mn the measured values, Δdn, ΔAn the tolerances of the run.
0 is a perfect fit; a row with all six terms within tolerance has at most 1.</translation>
    </message>
    <message>
        <source>匹配度：按 R1、R2 放到图像上的该行晶带预测斑点中有检出斑点的比例，与检出斑点被预测的比例的调和平均（0 到 1）。
需先打开图像并测量 R1、R2；每次标定或改变图像、测量线时计算一次。
行数很多时只计算失配度最小的若干个不同 (g1, g2)，其余行留空。</source>
        <translation>Match: harmonic mean of the fraction of the predicted spots of the row&apos;s zone, placed on the image by R1 and R2, that have a detected spot, and the fraction of detected spots that are predicted (0 to 1).
Needs an open image with R1 and R2 measured; computed once per run and per change of image or measuring lines.
With many rows only the distinct (g1, g2) of smallest misfit are computed; the other rows stay empty.</translation>
    </message>
    <message>
        <source>第%1组</source>
        <translation>#%1</translation>
    </message>
    <message>
        <source>晶带轴 [uvw] = g1 × g2，约去公因数</source>
        <translation>Zone axis [uvw] = g1 × g2, common factors removed</translation>
    </message>
    <message>
        <source>※ 此行含有运动学禁止的衍射，它由同一晶带中两个允许衍射的二次衍射产生</source>
        <translation>※ This row holds a kinematically forbidden reflection, produced by double diffraction of two allowed reflections of the same zone</translation>
    </message>
    <message>
        <source>四指数 (hkil)</source>
        <translation>Four indices (hkil)</translation>
    </message>
    <message>
        <source>六方晶胞的四指数 (h k i l)，i = -(h + k)；报告和导出的文件仍为三指数</source>
        <translation>Four indices (h k i l) of a hexagonal cell, i = -(h + k); reports and exported files keep three indices</translation>
    </message>
</context>
<context>
    <name>saed::model::Texts</name>
    <message>
        <source>有一些输入框不是数字！</source>
        <translation>Some input fields are not numbers!</translation>
    </message>
    <message>
        <source>当前物相没有空间群，请选择点阵类型！</source>
        <translation>The current phase has no space group; choose a lattice type!</translation>
    </message>
</context>
<context>
    <name>saed::store::CalibrationTexts</name>
    <message>
        <source>无法读取标定文件 %1</source>
        <translation>Cannot read the calibration file %1</translation>
    </message>
    <message>
        <source>标定文件 %1 第 %2 行无法识别</source>
        <translation>Line %2 of the calibration file %1 is not understood</translation>
    </message>
    <message>
        <source>没有名为“%1”的标定</source>
        <translation>No calibration is named “%1”</translation>
    </message>
    <message>
        <source>标定名称不能为空</source>
        <translation>The calibration&apos;s name cannot be empty</translation>
    </message>
    <message>
        <source>标定名称不能含换行、[、] 或 =</source>
        <translation>The calibration&apos;s name cannot hold a line break, [, ] or =</translation>
    </message>
    <message>
        <source>标定名称首尾不能有空格</source>
        <translation>The calibration&apos;s name cannot start or end with a blank</translation>
    </message>
    <message>
        <source>标定值须为正数</source>
        <translation>The camera constant must be positive</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
    <message>
        <source>已有名为“%1”的标定</source>
        <translation>A calibration named “%1” exists already</translation>
    </message>
    <message>
        <source>无法写入标定文件 %1：%2</source>
        <translation>Cannot write the calibration file %1: %2</translation>
    </message>
</context>
<context>
    <name>saed::store::FileLock</name>
    <message>
        <source>无法创建锁文件 %1：%2</source>
        <translation>cannot create the lock file %1: %2</translation>
    </message>
    <message>
        <source>另一个运行中的程序一直在写入该文件（锁文件 %1）</source>
        <translation>another running program kept writing this file (lock file %1)</translation>
    </message>
</context>
<context>
    <name>saed::store::ParameterStore</name>
    <message>
        <source>导入%1图测量数据</source>
        <translation>Load measurements %1</translation>
    </message>
    <message>
        <source>测量图片的名称为</source>
        <translation>Name of the measured image</translation>
    </message>
    <message>
        <source>无法写入参数文件：
</source>
        <translation>Cannot write the parameter file:
</translation>
    </message>
    <message>
        <source>无法读取参数文件：
</source>
        <translation>Cannot read the parameter file:
</translation>
    </message>
    <message>
        <source>导入图测量数据</source>
        <comment>an empty slot; %1 in a translation is its number</comment>
        <translation>Load measurements: slot %1 (empty)</translation>
    </message>
</context>
<context>
    <name>saed::store::Reports</name>
    <message>
        <source>标尺示数或测量长度为0，无法计算面间距，报告只写入了点阵参数：
</source>
        <translation>The scale bar value or a measured length is 0, so no d-spacings can be computed; the report holds only the lattice parameters:
</translation>
    </message>
    <message>
        <source>无法写入标定结果文件：
</source>
        <translation>Cannot write the indexing results file:
</translation>
    </message>
</context>
<context>
    <name>saed::store::TextFile</name>
    <message>
        <source>只写入了 %1 字节中的一部分</source>
        <translation>only part of the %1 bytes was written</translation>
    </message>
</context>
</TS>
