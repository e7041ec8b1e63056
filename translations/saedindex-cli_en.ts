<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>saed::cli::Calc</name>
    <message>
        <source>--cell、--p1、--p2 和 --p3 都须给出</source>
        <translation>--cell, --p1, --p2 and --p3 are all needed</translation>
    </message>
    <message>
        <source>--format 须为 text 或 json，而不是“%1”</source>
        <translation>--format is text or json, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>（--p%1 的第 %2 个值：“%3”）</source>
        <translation> (--p%1 value %2: &apos;%3&apos;)</translation>
    </message>
    <message>
        <source>°</source>
        <translation> deg.</translation>
    </message>
    <message>
        <source>（--cell 的第 %1 个值：“%2”）</source>
        <translation> (--cell value %1: &apos;%2&apos;)</translation>
    </message>
    <message>
        <source>用法：saedindex-cli calc --cell a,b,c,alpha,beta,gamma --p1 h,k,l --p2 h,k,l --p3 h,k,l
                         [--format text|json]

给定晶胞（棱长单位 nm，夹角单位度），计算三个晶面的晶面间距、夹角 &lt;R1,R2&gt;、&lt;R2,R3&gt;、
&lt;R1,R3&gt;，以及晶面 1 和 2 的晶带轴。六方晶胞的晶面也可给四指数 h,k,i,l（i = -(h+k)），
晶带轴另以四指数 [U V T W] 列出（JSON 中为 zoneAxisUvtw）。
</source>
        <translation>usage: saedindex-cli calc --cell a,b,c,alpha,beta,gamma --p1 h,k,l --p2 h,k,l --p3 h,k,l
                          [--format text|json]

Spacings of the three planes, the angles &lt;R1,R2&gt;, &lt;R2,R3&gt;, &lt;R1,R3&gt; and the zone axis of
planes 1 and 2, for a cell with edges in nm and angles in degrees. A hexagonal cell&apos;s planes
may also be given in four indices h,k,i,l (i = -(h+k)); its zone axis is also listed in four
indices [U V T W] (zoneAxisUvtw in JSON).
</translation>
    </message>
    <message>
        <source>%1：(0 0 0) 不是晶面</source>
        <translation>%1: (0 0 0) is not a plane</translation>
    </message>
    <message>
        <source>--p1 与 --p2 平行，没有共同的晶带轴</source>
        <translation>--p1 and --p2 are parallel and have no common zone axis</translation>
    </message>
</context>
<context>
    <name>saed::cli::CommandLine</name>
    <message>
        <source>内存不足；请收窄容差或指数范围</source>
        <translation>out of memory; narrow the tolerances or the index range</translation>
    </message>
    <message>
        <source>内部错误：%1</source>
        <translation>internal error: %1</translation>
    </message>
    <message>
        <source>内部错误</source>
        <translation>internal error</translation>
    </message>
    <message>
        <source>未知命令“%1”</source>
        <translation>unknown command &apos;%1&apos;</translation>
    </message>
    <message>
        <source>无法写出结果：标准输出写入失败</source>
        <translation>cannot write the output: writing to standard output failed</translation>
    </message>
    <message>
        <source>用法：saedindex-cli 命令 [选项] [--lang zh|en]

命令：
  index    用一个物相标定实测的衍射斑点花样
  calc     三个晶面的晶面间距、夹角和晶带轴
  library  列出物相库文本或 CIF 文件中的物相
  reflections  一个物相的各衍射：晶面间距、消光、|F|、二次衍射
  screen   用物相库中的每个物相标定实测花样
  image    读取显微图像：尺寸、标定、斑点中心、检出的斑点
  simulate 一个晶带轴的斑点花样，输出 JSON、SVG 或 PNG
  tilt     两张相差一个倾转角的花样：哪些解对得上
  orient   一个解的晶体取向、欧拉角、极射赤面投影和到邻近晶带轴的倾转
  rings    多晶衍射环花样：中心、椭圆畸变、径向强度分布、物相和各环的 (hkl)
  calibrate  用标样的衍射环求相机常数和椭圆畸变，可保存为标定
  calibrations  保存的标定：列出、显示、删除
  identify 从衍射图像识别物相和晶带轴（拟合全部斑点的倒易网，遍历物相库）

saedindex-cli 命令 --help 列出该命令的选项；saedindex-cli --version 给出版本。

--lang zh|en 选择帮助和消息的语言（放在命令行任意位置）；未给出时随系统的 LANGUAGE、
LC_ALL、LC_MESSAGES 或 LANG，都不是中文或英文时为中文。tsv 和 json 输出、报告和写出的
文件在两种语言下逐字节相同。
</source>
        <translation>usage: saedindex-cli COMMAND [OPTIONS] [--lang zh|en]

commands:
  index    index a measured spot pattern against one phase
  calc     spacings, angles and zone axis of three planes
  library  list the phases of a library text or of CIF files
  reflections  the reflections of a phase: spacing, extinction, |F|, double diffraction
  screen   index a measured pattern against every phase of a library
  image    read a microscope image: size, calibration, spot centres, detected spots
  simulate the spot pattern of a zone axis, as JSON, SVG or PNG
  tilt     two patterns a tilt apart: which solutions agree
  orient   a solution&apos;s orientation, Euler angles, stereogram and tilts to nearby zones
  rings    ring patterns of polycrystals: centre, distortion, radial profile, phases, (hkl)
  calibrate  camera constant and elliptical distortion from a ring standard, kept if asked
  calibrations  the saved calibrations: list, show, remove
  identify identify phase and zone axis from a diffraction image (net fitted to every spot, across the library)

saedindex-cli COMMAND --help shows the options of a command; saedindex-cli --version the version.

--lang zh|en chooses the language of the help and the messages (anywhere on the command
line); without it the language follows the system&apos;s LANGUAGE, LC_ALL, LC_MESSAGES or LANG, and
is Chinese when they name neither Chinese nor English. The tsv and json output, the reports and
the files written are byte for byte the same in either language.
</translation>
    </message>
</context>
<context>
    <name>saed::cli::CrystalOptions</name>
    <message>
        <source>警告：%1</source>
        <translation>warning: %1</translation>
    </message>
    <message>
        <source>--cell：“%1”不是数字</source>
        <translation>--cell: &apos;%1&apos; is not a number</translation>
    </message>
    <message>
        <source>--spacegroup：未知的空间群“%1”</source>
        <translation>--spacegroup: unknown space group &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1 需要三个或四个以逗号分隔的指数，而不是“%2”</source>
        <translation>%1 needs three or four comma-separated indices, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1：“%2”不是 -%3 到 %3 的整数</source>
        <translation>%1: &quot;%2&quot; is not a whole number from -%3 to %3</translation>
    </message>
    <message>
        <source>%1：“%2”不是 -%3 到 %3 的数</source>
        <translation>%1: &quot;%2&quot; is not a number from -%3 to %3</translation>
    </message>
    <message>
        <source>%1：四指数只用于六方晶胞（a = b，α = β = 90°，γ = 120°）</source>
        <translation>%1: four indices are for hexagonal cells only (a = b, α = β = 90°, γ = 120°)</translation>
    </message>
    <message>
        <source>%1：四指数 [U V T W] 须满足 T = -(U + V)，而“%2”不满足</source>
        <translation>%1: four indices [U V T W] need T = -(U + V), and &quot;%2&quot; does not have it</translation>
    </message>
    <message>
        <source>%1：四指数 (h k i l) 须满足 i = -(h + k)，而“%2”不满足</source>
        <translation>%1: four indices (h k i l) need i = -(h + k), and &quot;%2&quot; does not have it</translation>
    </message>
    <message>
        <source>警告：已跳过 %1</source>
        <translation>warning: skipped %1</translation>
    </message>
    <message>
        <source>--cell 与空间群 %1 不符：该空间群的晶胞须满足 %2</source>
        <translation>--cell does not fit space group %1: its cell has %2</translation>
    </message>
    <message>
        <source>--cell：%1 = %2 nm，棱长须大于 0 且不超过 %3 nm</source>
        <translation>--cell: %1 = %2 nm; an edge must be above 0 and at most %3 nm</translation>
    </message>
    <message>
        <source>--cell：%1 = %2°，夹角须在 0° 与 180° 之间</source>
        <translation>--cell: %1 = %2°; an angle must lie between 0° and 180°</translation>
    </message>
    <message>
        <source>--cell：棱长 %1、%2、%3 nm 太小，无法计算（棱长以 nm 为单位）</source>
        <translation>--cell: the edges %1, %2, %3 nm are too small to compute with (edges are in nm)</translation>
    </message>
    <message>
        <source>--cell：夹角 %1°、%2°、%3° 构不成晶胞（每个夹角须小于另两个之和，三者之和须小于 360°）</source>
        <translation>--cell: the angles %1°, %2°, %3° form no cell (each must be less than the sum of the other two, and all three less than 360°)</translation>
    </message>
</context>
<context>
    <name>saed::cli::Identify</name>
    <message>
        <source>缺少图像文件 FILE</source>
        <translation>the image file FILE is missing</translation>
    </message>
    <message>
        <source>--format 须为 text、json 或 csv</source>
        <translation>--format must be text, json or csv</translation>
    </message>
    <message>
        <source>--cif 和 --library 只能给出一个</source>
        <translation>give only one of --cif and --library</translation>
    </message>
    <message>
        <source>--cif 须给出文件或文件夹</source>
        <translation>--cif needs files or folders</translation>
    </message>
    <message>
        <source>--phases 须为 all、builtin 或 imported</source>
        <translation>--phases must be all, builtin or imported</translation>
    </message>
    <message>
        <source>没有可用的物相</source>
        <translation>no phase to search</translation>
    </message>
    <message>
        <source>--top 须为正整数</source>
        <translation>--top must be a positive whole number</translation>
    </message>
    <message>
        <source>--centre 须为 X,Y 两个数</source>
        <translation>--centre must be two numbers X,Y</translation>
    </message>
    <message>
        <source>--d-range 须为 0 &lt; DMIN &lt; DMAX</source>
        <translation>--d-range must be 0 &lt; DMIN &lt; DMAX</translation>
    </message>
    <message>
        <source>%1 太大，内存容纳不下。</source>
        <translation>%1 is too large to hold in memory.</translation>
    </message>
    <message>
        <source>--centre 不在图像上</source>
        <translation>--centre is not on the image</translation>
    </message>
    <message>
        <source>--scale 须为两个正数 S,L</source>
        <translation>--scale must be two positive numbers S,L</translation>
    </message>
    <message>
        <source>没有物相的晶带与该网相符</source>
        <translation>no zone of any phase matches the net</translation>
    </message>
    <message>
        <source>中心 (%1, %2) ± %3 px%4</source>
        <translation>centre (%1, %2) ± %3 px%4</translation>
    </message>
    <message>
        <source>（固定）</source>
        <translation> (fixed)</translation>
    </message>
    <message>
        <source>%1 = %2 ± %3 px</source>
        <translation>%1 = %2 ± %3 px</translation>
    </message>
    <message>
        <source>，d = %1 ± %2 nm</source>
        <translation>, d = %1 ± %2 nm</translation>
    </message>
    <message>
        <source>夹角 %1 ± %2°，残差 %3 px，网上斑点 %4 / %5</source>
        <translation>angle %1 ± %2°, residual %3 px, spots on the net %4 / %5</translation>
    </message>
    <message>
        <source>标定 %1 1/nm/px（%2）</source>
        <translation>calibration %1 1/nm/px (%2)</translation>
    </message>
    <message>
        <source>标定未知：按每个候选拟合</source>
        <translation>calibration unknown: fitted per candidate</translation>
    </message>
    <message>
        <source>%1. %2 [%3] &lt;%4&gt; 得分 %5（几何 %6，形状偏差 %7σ，标尺偏差 %8σ，劳厄 %9，预测可见 %10，解释 %11/%12，强度 %13），标定 %14 1/nm/px，相机常数 %15 px·nm</source>
        <translation>%1. %2 [%3] &lt;%4&gt; score %5 (geometry %6, shape misfit %7σ, scale misfit %8σ, Laue %9, predicted seen %10, explained %11/%12, intensity %13), calibration %14 1/nm/px, camera constant %15 px·nm</translation>
    </message>
    <message>
        <source>；与第 %1 名并列：%2</source>
        <translation>; tied with rank %1: %2</translation>
    </message>
    <message>
        <source>--scale、--calibration 和 --uncalibrated 只能给出一个</source>
        <translation>give only one of --scale, --calibration and --uncalibrated</translation>
    </message>
    <message>
        <source>标定“%1”没有可用的数值</source>
        <translation>the calibration “%1” has no usable value</translation>
    </message>
    <message>
        <source>文件自带的标定 %1 1/nm 每像素，与标定“%2”相差 %3 %</source>
        <translation>the file&apos;s own calibration, %1 1/nm per pixel, differs from the calibration “%2” by %3 %</translation>
    </message>
    <message>
        <source>注意：两者相差较大，请核对所选标定是否属于这一相机长度和像素合并</source>
        <translation>note: they differ a lot; check that the chosen calibration belongs to this camera length and binning</translation>
    </message>
    <message>
        <source>已去除标定“%1”的椭圆畸变：长短轴比 %2，长轴 %3°</source>
        <translation>Elliptical distortion of the calibration “%1” removed: axis ratio %2, major axis %3°</translation>
    </message>
    <message>
        <source>用法：saedindex-cli identify FILE [--cif FILE_OR_FOLDER...] [--library FILE]
                             [--phases all|builtin|imported] [--uncalibrated] [--d-range DMIN,DMAX]
                             [--scale S,L | --calibration NAME] [--centre X,Y] [--double]
                             [--top N] [--format text|json|csv]

在图像上检出全部斑点，拟合二维倒易网（两个最短的不共线基矢、每个斑点的网格坐标、
剔除离群点、最小二乘精修基矢与中心），求出透射斑中心，再在物相中找出其零阶劳厄带
允许反射之网与所测网相符的每个晶带 [uvw]，以一个连续得分排序（得分的各部分一并列出）。

选项：
  --cif FILE_OR_FOLDER...  用这些 CIF 文件中的物相（文件夹代表其中的 *.cif 文件）
  --library FILE     用九字段物相库文本中的物相（按其点阵类型）
  --phases P         all（默认）：内置物相和已导入的物相；builtin：仅内置；imported：仅已导入
  --uncalibrated     不用图像所带的标定，按每个候选拟合标尺（相机长度未知）
  --d-range DMIN,DMAX  拟合标尺时网的较短基矢所对应的晶面间距范围（nm，默认 0.1,1.5）
  --scale S,L        标尺：长 L 像素对应 S（1/nm），代替图像所带的标定
  --calibration NAME 保存的标定（saedindex-cli calibrate --save）：代替图像所带的标定，
                     并在拟合网之前从检出的斑点中去除其椭圆畸变
  --centre X,Y       透射斑中心（图像像素），固定不动
  --double           可由二次衍射出现的禁止斑点也算作解释了的斑点
  --top N            列出的候选数（默认 10）
  --format F         text（默认）、json 或 csv
  --help             本说明

无斑点、只有一个斑点、只有一行斑点、环花样、斑点过多或没有物相时在 stderr 上说明，
退出状态为 2。
</source>
        <translation>usage: saedindex-cli identify FILE [--cif FILE_OR_FOLDER...] [--library FILE]
                             [--phases all|builtin|imported] [--uncalibrated] [--d-range DMIN,DMAX]
                             [--scale S,L | --calibration NAME] [--centre X,Y] [--double]
                             [--top N] [--format text|json|csv]

Detects every spot of the image, fits the two-dimensional reciprocal net to them (the two
shortest non-collinear basis vectors, the net coordinates of every spot, outliers left out,
basis and centre refined by least squares), finds the direct-beam centre, then finds in the
phases every zone [uvw] whose zero-order Laue zone net of allowed reflections matches the
measured net, and ranks them by one continuous score (its parts listed beside it).

options:
  --cif FILE_OR_FOLDER...  the phases of these CIF files (a folder stands for its *.cif files)
  --library FILE     the phases of a nine-field library text (by their lattice type)
  --phases P         all (default): the built-in and the imported phases; builtin: only the
                     built-in ones; imported: only the imported ones
  --uncalibrated     ignore the image&apos;s calibration and fit the scale per candidate (camera
                     length unknown)
  --d-range DMIN,DMAX  when the scale is fitted: the spacings (nm) the net&apos;s shorter basis
                     vector may stand for (default 0.1,1.5)
  --scale S,L        scale bar: L pixels stand for S (1/nm), instead of the image&apos;s calibration
  --calibration NAME a saved calibration (saedindex-cli calibrate --save): instead of the
                     image&apos;s calibration, and its elliptical distortion is taken off the
                     detected spots before the net is fitted
  --centre X,Y       the direct-beam centre (image pixels), kept fixed
  --double           forbidden spots that double diffraction can produce count as explained
  --top N            the number of candidates listed (default 10)
  --format F         text (default), json or csv
  --help             this text

No spots, one spot, one row of spots, a ring pattern, too many spots or no phase are told on
stderr, with exit status 2.
</translation>
    </message>
</context>
<context>
    <name>saed::cli::Image</name>
    <message>
        <source>未知操作“%1”</source>
        <translation>unknown action &apos;%1&apos;</translation>
    </message>
    <message>
        <source>缺少图像文件 FILE</source>
        <translation>the image FILE is missing</translation>
    </message>
    <message>
        <source>--format 须为 text 或 json</source>
        <translation>--format must be text or json</translation>
    </message>
    <message>
        <source>%1 太大，内存容纳不下。</source>
        <translation>%1 is too large to be held in memory.</translation>
    </message>
    <message>
        <source>尺寸 %1 x %2</source>
        <translation>size %1 x %2</translation>
    </message>
    <message>
        <source>像素类型 %1</source>
        <translation>pixel type %1</translation>
    </message>
    <message>
        <source>数值 %1 到 %2</source>
        <translation>values %1 to %2</translation>
    </message>
    <message>
        <source>标定：每像素 %1 %2</source>
        <translation>calibration %1 %2 per pixel</translation>
    </message>
    <message>
        <source>（实空间标尺，不是衍射标定）</source>
        <translation> (real space, not a diffraction calibration)</translation>
    </message>
    <message>
        <source>标定：无</source>
        <translation>calibration none</translation>
    </message>
    <message>
        <source>须给出 --at X,Y</source>
        <translation>--at X,Y is needed</translation>
    </message>
    <message>
        <source>--at 和 --radius 须为数</source>
        <translation>--at and --radius take numbers</translation>
    </message>
    <message>
        <source>%1,%2 附近没有斑点</source>
        <translation>no spot near %1,%2</translation>
    </message>
    <message>
        <source>斑点中心 %1 %2</source>
        <translation>spot centre %1 %2</translation>
    </message>
    <message>
        <source>--min-snr 须为正数</source>
        <translation>--min-snr takes a positive number</translation>
    </message>
    <message>
        <source>相对的斑点对太少，找不出中心</source>
        <translation>too few opposite spot pairs to find the centre</translation>
    </message>
    <message>
        <source>中心 %1 %2</source>
        <translation>centre %1 %2</translation>
    </message>
    <message>
        <source>斑点 %1 %2 %3</source>
        <translation>spot %1 %2 %3</translation>
    </message>
    <message>
        <source>%1 %2 %3（长 %4 px）</source>
        <translation>%1 %2 %3 (length %4 px)</translation>
    </message>
    <message>
        <source>未找到中心</source>
        <translation>centre not found</translation>
    </message>
    <message>
        <source>未找到点阵矢量</source>
        <translation>lattice vectors not found</translation>
    </message>
    <message>
        <source>--radius %1：须大于 0 且不超过 %2 像素</source>
        <translation>--radius %1: must be above 0 and at most %2 pixels</translation>
    </message>
    <message>
        <source>用法：saedindex-cli image info FILE [--format text|json]
      saedindex-cli image refine FILE --at X,Y [--radius R] [--format text|json]
      saedindex-cli image centre FILE [--calibration NAME] [--format text|json]
      saedindex-cli image spots FILE [--min-snr S] [--calibration NAME] [--format text|json]

读取 .dm3/.dm4、TIFF 或 MRC 图像（或 PNG、JPEG、BMP）。info：尺寸、像素类型、数值范围和
文件所带的标定（倒易空间标尺单位 1/nm，实空间标尺单位 nm）。refine：X,Y 附近斑点的亚像素
中心（半径 R 像素，默认 6）。centre：由 Friedel 对的对称性求出的透射斑中心。spots：检出的
斑点（高出周围至少 S 倍噪声者，默认 6）、中心，以及点阵矢量 r1、r2 和 r3 = r1 + r2。
坐标为图像像素：x 向右，y 向下，(0, 0) 为左上角像素的中心。
--calibration NAME：保存的标定（saedindex-cli calibrate --save）；spots 给出去除其椭圆畸变后的
r1、r2、r3 及其 |g|（1/nm）；斑点和中心仍为图像上的位置。
</source>
        <translation>usage: saedindex-cli image info FILE [--format text|json]
       saedindex-cli image refine FILE --at X,Y [--radius R] [--format text|json]
       saedindex-cli image centre FILE [--calibration NAME] [--format text|json]
       saedindex-cli image spots FILE [--min-snr S] [--calibration NAME] [--format text|json]

Reads a .dm3/.dm4, TIFF or MRC image (or PNG, JPEG, BMP). info: size, pixel type, value range
and the calibration the file carries (reciprocal scales in 1/nm, real ones in nm). refine: the
sub-pixel centre of the spot near X,Y (radius R pixels, 6 by default). centre: the
direct-beam centre from the symmetry of Friedel pairs. spots: the detected spots (those
standing at least S times the noise above their surroundings, 6 by default), the centre
and the lattice vectors r1, r2 and r3 = r1 + r2.
Coordinates are image pixels: x to the right, y down, (0, 0) the centre of the top-left
pixel.
--calibration NAME: a saved calibration (saedindex-cli calibrate --save); spots gives r1, r2
and r3 without its elliptical distortion, with their |g| (1/nm); the spots and the centre
stay where the image has them.
</translation>
    </message>
    <message>
        <source>--calibration 只用于 spots 和 centre</source>
        <translation>--calibration is only for spots and centre</translation>
    </message>
    <message>
        <source>（椭圆畸变以中心为准，不移动中心）</source>
        <translation>(the elliptical distortion is about the centre and does not move it)</translation>
    </message>
    <message>
        <source>%1 %2 %3（长 %4 px，|g| %5 1/nm）</source>
        <translation>%1 %2 %3 (length %4 px, |g| %5 1/nm)</translation>
    </message>
</context>
<context>
    <name>saed::cli::Index</name>
    <message>
        <source>--%1 的第一个值</source>
        <translation>--%1, first value</translation>
    </message>
    <message>
        <source>--%1 的第二个值</source>
        <translation>--%1, second value</translation>
    </message>
    <message>
        <source>--%1 的第三个值</source>
        <translation>--%1, third value</translation>
    </message>
    <message>
        <source>--%1 的第四个值</source>
        <translation>--%1, fourth value</translation>
    </message>
    <message>
        <source>--%1 的第五个值</source>
        <translation>--%1, fifth value</translation>
    </message>
    <message>
        <source>--%1 的第六个值</source>
        <translation>--%1, sixth value</translation>
    </message>
    <message>
        <source>解族</source>
        <translation>family</translation>
    </message>
    <message>
        <source>代表行</source>
        <translation>row</translation>
    </message>
    <message>
        <source>晶带轴族</source>
        <translation>zone</translation>
    </message>
    <message>
        <source>行数</source>
        <translation>rows</translation>
    </message>
    <message>
        <source>失配度</source>
        <translation>misfit</translation>
    </message>
    <message>
        <source>匹配度</source>
        <translation>match</translation>
    </message>
    <message>
        <source>用法见 saedindex-cli index --help。</source>
        <translation>Try &apos;saedindex-cli index --help&apos;.</translation>
    </message>
    <message>
        <source>报告已写入 %1</source>
        <translation>report written to %1</translation>
    </message>
    <message>
        <source>%1 太大，内存容纳不下。</source>
        <translation>%1 is too large to be held in memory.</translation>
    </message>
    <message>
        <source>%1 带的是实空间标尺，不是衍射标定；请给出 --scale S,Lbar</source>
        <translation>%1 carries a real-space scale, not a diffraction calibration; give --scale S,Lbar</translation>
    </message>
    <message>
        <source>%1 没有标定；请给出 --scale S,Lbar</source>
        <translation>%1 carries no calibration; give --scale S,Lbar</translation>
    </message>
    <message>
        <source>%1 个斑点，中心 %2,%3；R1 %4 px，R2 %5 px，R3 %6 px；夹角 %7、%8、%9</source>
        <translation>%1 spots, centre %2,%3; R1 %4 px, R2 %5 px, R3 %6 px; angles %7, %8, %9</translation>
    </message>
    <message>
        <source>--out 指定 --report 的文件夹，须与 --report 同用</source>
        <translation>--out names the folder of --report</translation>
    </message>
    <message>
        <source>--cell 与 --cif 须给出且只给出其一</source>
        <translation>give either --cell or --cif</translation>
    </message>
    <message>
        <source>--type 只与 --cell 同用，不能与 --spacegroup 或 --cif 同用</source>
        <translation>--type goes with --cell alone, not with --spacegroup or --cif</translation>
    </message>
    <message>
        <source>--cif 自带空间群；请去掉 --spacegroup</source>
        <translation>--cif brings its own space group; leave out --spacegroup</translation>
    </message>
    <message>
        <source>--auto 测量图像中的花样；请给出 --image FILE</source>
        <translation>--auto measures the pattern of an image; give --image FILE</translation>
    </message>
    <message>
        <source>--image --auto 自行测量花样；请去掉 --%1</source>
        <translation>--image --auto measures the pattern itself; leave out --%1</translation>
    </message>
    <message>
        <source>--type 须为 simple、base、body、face、rhombic 或 0 到 4</source>
        <translation>--type must be simple, base, body, face, rhombic or 0 to 4</translation>
    </message>
    <message>
        <source>--max-rows 须为 1 到 %1 的整数</source>
        <translation>--max-rows must be a whole number from 1 to %1</translation>
    </message>
    <message>
        <source>%1 含 %2 个物相；用第一个（%3）标定</source>
        <translation>%1 holds %2 phases; indexing with the first, %3</translation>
    </message>
    <message>
        <source>--image、--centre、--r1-end 和 --r2-end 须一起给出</source>
        <translation>--image, --centre, --r1-end and --r2-end go together</translation>
    </message>
    <message>
        <source>--centre、--r1-end 和 --r2-end 各取两个数 X,Y</source>
        <translation>--centre, --r1-end and --r2-end each take two numbers X,Y</translation>
    </message>
    <message>
        <source>用 --image 时，--r1 和 --r2 的斑点间距数 N 须为不小于 1 的整数</source>
        <translation>with --image, the spot spacings N of --r1 and --r2 must be whole numbers from 1</translation>
    </message>
    <message>
        <source>解族：%1，行：%2</source>
        <translation>families: %1, rows: %2</translation>
    </message>
    <message>
        <source>行数：%1</source>
        <translation>rows: %1</translation>
    </message>
    <message numerus="yes">
        <source>※ %n 行用到了由二次衍射出现的禁止衍射</source>
        <translation>
            <numerusform>※ %n row uses a forbidden reflection that appears by double diffraction</numerusform>
            <numerusform>※ %n rows use a forbidden reflection that appears by double diffraction</numerusform>
        </translation>
    </message>
    <message>
        <source>--format 须为 text、tsv、json 或 csv</source>
        <translation>--format must be text, tsv, json or csv</translation>
    </message>
    <message>
        <source>--format csv 输出各行；--families 只能与 text 或 tsv 同用</source>
        <translation>--format csv writes the rows; --families goes with text or tsv</translation>
    </message>
    <message>
        <source>用法：saedindex-cli index (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]
                           | --cif FILE) --angles a12,a23,a13
                          (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)
                          [--double] [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]
                          [--format text|tsv|json|csv] [--report [--out DIR]] [--max-rows M]
      saedindex-cli index --cell ... --image FILE --auto [--scale S,Lbar] [其余选项同上]
                          [--families] [--image FILE --centre X,Y --r1-end X,Y --r2-end X,Y]

找出所有满足 g1 + g2 = g3、且晶面间距和夹角与三个实测衍射斑点 R1、R2、R3（R3 = R1 + R2）
相符的晶面组合，与窗口中的“标定计算”完全相同。

选项：
  --cell a,b,c,alpha,beta,gamma  点阵参数：棱长单位 nm，夹角单位度
  --type T           点阵类型：simple、base、body、face、rhombic，或 0 到 4（默认 simple）
  --spacegroup SG    代替 --type 给出空间群（&quot;P 63/m m c&quot;、&quot;F d -3 m&quot; 或编号）：
                     只有未被该空间群消光的晶面参与标定
  --cif FILE         代替 --cell：取 CIF 第一个数据块的晶胞、空间群和原子位置；有原子时，
                     |F| 为零的晶面也被排除
  --double           也纳入本身禁止、但等于该行晶带中两个允许晶面之和的晶面（二次衍射）；
                     这样的行标记“※”（json 中为 &quot;double&quot;: true）
  --range N          指数范围：h、k、l 各取 -N..N，0 &lt;= N &lt;= 99（默认 5）
  --scale S,Lbar     标尺：读数 S（1/nm）及其实测长度 Lbar（px）
  --r1 L,N           斑点 R1：实测长度 L（px），跨 N 个斑点间距
  --r2 L,N           斑点 R2，同 --r1
  --r3 L,N           斑点 R3，同 --r1；于是 dn = N * (Lbar / S) / L
  --d d1,d2,d3       实测晶面间距（nm），代替 --scale 和 --r1 至 --r3
  --image FILE --auto  从衍射图像测量花样：检出斑点，找出透射斑中心，取最短的两个点阵
                     矢量为 R1、R2，R3 = R1 + R2（各跨一个间距），并测出其夹角；标尺取自
                     文件的标定（10 1/nm 对应的像素数），文件没有标定时取自 --scale
                     （两者都有时以 --scale 为准）
  --calibration NAME 保存的标定（saedindex-cli calibrate --save）：代替 --scale 给出标尺；
                     与 --image --auto 同用时，R1、R2、R3 先去除其椭圆畸变再标定
  --angles a12,a23,a13  实测夹角 &lt;R1,R2&gt;、&lt;R2,R3&gt;、&lt;R1,R3&gt;（度）
  --tol-d t1,t2,t3   晶面间距容差（nm，默认 0.008,0.008,0.008）；间距差恰等于容差时
                     算作吻合
  --tol-angle t1,t2,t3  夹角容差（度，默认 2,2,2）；夹角差恰等于容差时算作不吻合
  --format F         text（默认）：为终端对齐的表格、表头和行数；tsv：每行为窗口所显示的
                     二十个单元格文本，以制表符分隔，无表头；json：输入、实测的 d1、d2、
                     d3、各行的数值及其晶带轴 [u,v,w] 和解族，以及从优到劣的各解族
                     （docs/index-json.md）；csv：供电子表格使用，UTF-8 带字节序标记、
                     CR LF，一行列标题，然后每行为二十个单元格文本、晶带轴、失配度、
                     二次衍射标记和解族
  --report           同时写出窗口中“导出标定结果”的结果报告：文件
                     标定结果YYYY-MM-DD HHNNSS.txt（GB18030，CR LF）；其路径输出到 stderr
  --out DIR          报告所在的文件夹（默认：当前文件夹）
  --max-rows M       结果达到 M 行时停止，1 &lt;= M &lt;= 5000000（默认 5000000）
  --families         每个解族一行，而不是每个结果一行：在点阵对称性和 Friedel 对意义下
                     为同一解的各行（晶带轴 &lt;uvw&gt; 及 g1、g2、g3 的 {hkl} 都相同），从优
                     到劣排列，附代表行（解族中失配度最小的行）和行数
  --image FILE       花样的图像：每个解族得到匹配度，即其预测斑点在图像上有检出的比例
                     与图像上检出斑点被预测的比例的调和平均（0..1），解族先按匹配度、
                     再按失配度排序
  --centre X,Y       透射斑在图像上的位置，单位为图像像素（x 向右，y 向下）
  --r1-end X,Y       R1 在图像上的端点；R1 跨 --r1 给出的 N 个斑点间距
  --r2-end X,Y       R2 的端点，同 --r1-end（用 --d 时各跨一个间距）
  --help             本说明

失配度 = sqrt( ( sum_n ((DTn - dn) / td_n)^2 + sum_n ((An - Mn) / ta_n)^2 ) / 6 )，n = 1..3：
该行晶面间距 DTn 和夹角 An 与实测 dn、Mn 之差，各以其容差为单位；0 为完全吻合，六项都
在容差内的行至多为 1。

输入有误时在 stderr 上说明，退出状态为 2；无解时输出空表，退出状态为 0。
结果将超过 --max-rows 行（容差或指数范围对真实花样而言过宽）时在该处停止：在 stderr 上
说明，退出状态为 2，不输出表格。

示例（立方晶胞，各跨一个斑点间距，标尺 2 1/nm 对应 100 px）：
  saedindex-cli index --cell 0.5,0.5,0.5,90,90,90 --range 1 --scale 2,100 \
      --r1 100,1 --r2 100,1 --r3 141.42,1 --angles 90,45,45

示例（samples/al-114.png：两个解族的晶面间距和夹角相同，由图像判定为 &lt;4 1 1&gt;）：
  saedindex-cli index --cell 0.40495,0.40495,0.40495,90,90,90 --type face --scale 10,140 \
      --r1 115.52,1 --r2 114.56,1 --r3 98.08,1 --angles 128.83,64.58,64.25 --families \
      --image samples/al-114.png --centre 400.3,300.6 --r1-end 410.8,186.4 --r2-end 481.7,381.3

示例（alpha-Ti 沿 [2 -1 -1 0]，(0 0 0 1) 由二次衍射出现）：
  saedindex-cli index --cell 0.29506,0.29506,0.46835,90,90,120 --spacegroup &quot;P 63/m m c&quot; \
      --double --range 3 --d 0.46835,0.25551,0.22135 --angles 90,30.04,59.96
</source>
        <translation>usage: saedindex-cli index (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]
                            | --cif FILE) --angles a12,a23,a13
                           (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)
                           [--double] [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]
                           [--format text|tsv|json|csv] [--report [--out DIR]] [--max-rows M]
       saedindex-cli index --cell ... --image FILE --auto [--scale S,Lbar] [options as above]
                           [--families] [--image FILE --centre X,Y --r1-end X,Y --r2-end X,Y]

Finds every triple of lattice planes g1 + g2 = g3 whose spacings and angles match three
measured diffraction spots R1, R2, R3 (R3 = R1 + R2), exactly as the window&apos;s Indexing
(标定计算) does.

options:
  --cell a,b,c,alpha,beta,gamma  lattice parameters: edges in nm, angles in degrees
  --type T           lattice type: simple, base, body, face, rhombic, or 0 to 4 (default simple)
  --spacegroup SG    instead of --type, the space group (&quot;P 63/m m c&quot;, &quot;F d -3 m&quot; or a
                     number): a plane is allowed when the group does not extinguish it
  --cif FILE         instead of --cell, the cell, space group and atom sites of the first data
                     block of a CIF; with atoms a plane is also out when |F| vanishes
  --double           also let in forbidden planes that are the sum of two allowed planes of
                     the row&apos;s zone (double diffraction); such rows are marked &quot;※&quot; (json:
                     &quot;double&quot;: true)
  --range N          index range: h, k and l each run over -N..N, 0 &lt;= N &lt;= 99 (default 5)
  --scale S,Lbar     scale bar: reading S in 1/nm and its measured length Lbar in px
  --r1 L,N           spot R1: measured length L in px spanning N spot spacings
  --r2 L,N           spot R2, as --r1
  --r3 L,N           spot R3, as --r1; then dn = N * (Lbar / S) / L
  --d d1,d2,d3       the measured spacings in nm, instead of --scale and --r1 to --r3
  --image FILE --auto  measure the pattern in a diffraction image: detect its spots, find the
                     direct beam, take the two shortest lattice vectors as R1, R2 and
                     R3 = R1 + R2 (one spacing each) with their angles; the scale bar comes
                     from the file&apos;s calibration (10 1/nm over its pixels), or from --scale
                     when the file has none (--scale wins over the file)
  --calibration NAME a saved calibration (saedindex-cli calibrate --save) gives the scale bar in
                     place of --scale; with --image --auto its elliptical distortion is removed
                     from R1, R2 and R3 before indexing
  --angles a12,a23,a13  measured angles &lt;R1,R2&gt;, &lt;R2,R3&gt;, &lt;R1,R3&gt; in degrees
  --tol-d t1,t2,t3   spacing tolerances in nm (default 0.008,0.008,0.008); a spacing
                     difference equal to its tolerance passes
  --tol-angle t1,t2,t3  angle tolerances in degrees (default 2,2,2); an angle difference
                     equal to its tolerance fails
  --format F         text (default): the table aligned for a terminal, its headers and the
                     row count; tsv: the twenty cell texts of each row as the window shows
                     them, tab-separated, no header; json: the inputs, the measured d1, d2,
                     d3, the rows as numbers with their zone [u,v,w] and family, and the
                     families, best first (docs/index-json.md); csv: for spreadsheets, UTF-8
                     with a byte-order mark, CR LF, a caption line, then each row&apos;s twenty
                     cell texts, zone, misfit, double-diffraction mark and family
  --report           also write the result report of the window&apos;s Export indexing results
                     (导出标定结果): the file 标定结果YYYY-MM-DD HHNNSS.txt
                     (GB18030, CR LF); its path goes to stderr
  --out DIR          the report&apos;s folder (default: the current folder)
  --max-rows M       stop the run at M rows, 1 &lt;= M &lt;= 5000000 (default 5000000)
  --families         one line per family instead of one per row: rows that are the same
                     solution up to the lattice&apos;s symmetry and Friedel pairs (the same zone
                     &lt;uvw&gt; and {hkl} of g1, g2, g3), best first, with the representative row
                     (the family&apos;s least misfit) and the number of rows
  --image FILE       an image of the pattern: each family gets a match, the share of its
                     predicted spots that the image shows and of the image&apos;s spots that it
                     predicts (harmonic mean, 0..1), and families sort by match, then misfit
  --centre X,Y       the direct beam on the image, in image pixels (x right, y down)
  --r1-end X,Y       the end of R1 on the image; R1 spans the spot spacings N of --r1
  --r2-end X,Y       the end of R2, as --r1-end (with --d, each spans one spacing)
  --help             this text

misfit = sqrt( ( sum_n ((DTn - dn) / td_n)^2 + sum_n ((An - Mn) / ta_n)^2 ) / 6 ), n = 1..3:
the deviations of the row&apos;s spacings DTn and angles An from the measured dn and Mn, each in
units of its tolerance; 0 fits exactly, a row inside all six tolerances has at most 1.

Bad input is told on stderr with exit status 2; no solution is an empty table, status 0.
A run that would give more than --max-rows rows (a tolerance or index range far too wide for
a real pattern) stops there: that is told on stderr with exit status 2 and no table is written.

example (a cubic cell, one spot each, scale bar 2 1/nm over 100 px):
  saedindex-cli index --cell 0.5,0.5,0.5,90,90,90 --range 1 --scale 2,100 \
      --r1 100,1 --r2 100,1 --r3 141.42,1 --angles 90,45,45

example (samples/al-114.png: two families with the same spacings and angles; the image
decides for &lt;4 1 1&gt;):
  saedindex-cli index --cell 0.40495,0.40495,0.40495,90,90,90 --type face --scale 10,140 \
      --r1 115.52,1 --r2 114.56,1 --r3 98.08,1 --angles 128.83,64.58,64.25 --families \
      --image samples/al-114.png --centre 400.3,300.6 --r1-end 410.8,186.4 --r2-end 481.7,381.3

example (alpha-Ti along [2 -1 -1 0] with (0 0 0 1) by double diffraction):
  saedindex-cli index --cell 0.29506,0.29506,0.46835,90,90,120 --spacegroup &quot;P 63/m m c&quot; \
      --double --range 3 --d 0.46835,0.25551,0.22135 --angles 90,30.04,59.96
</translation>
    </message>
    <message>
        <source>文件自带的标定 %1 1/nm 每像素，与标定“%2”相差 %3 %</source>
        <translation>the file&apos;s own calibration is %1 1/nm per pixel, %3 % from the calibration &apos;%2&apos;</translation>
    </message>
    <message>
        <source>注意：两者相差较大，请核对所选标定是否属于这一相机长度和像素合并</source>
        <translation>note: they differ by much; check that the chosen calibration belongs to this camera length and binning</translation>
    </message>
    <message>
        <source>去除畸变后的点阵矢量给不出一致的夹角</source>
        <translation>the lattice vectors give no consistent angles once the distortion is removed</translation>
    </message>
    <message>
        <source>已按标定“%1”去除椭圆畸变（轴比 %2，长轴 %3°）</source>
        <translation>the elliptical distortion of the calibration &apos;%1&apos; was removed (axis ratio %2, major axis %3°)</translation>
    </message>
    <message>
        <source>用 --calibration 时须给出 --r1、--r2、--r3 和 --angles（或 --image FILE --auto）</source>
        <translation>with --calibration give --r1, --r2, --r3 and --angles (or --image FILE --auto)</translation>
    </message>
    <message>
        <source>--calibration 代替 --scale；不能与 --scale 或 --d 同用</source>
        <translation>--calibration stands for --scale; it goes with neither --scale nor --d</translation>
    </message>
    <message>
        <source>只用了标定“%1”的相机常数；去除椭圆畸变须用 --image FILE --auto</source>
        <translation>only the camera constant of the calibration &apos;%1&apos; was used; removing the elliptical distortion needs --image FILE --auto</translation>
    </message>
    <message>
        <source>--centre 须为 X,Y 两个数</source>
        <translation>--centre must be two numbers X,Y</translation>
    </message>
    <message>
        <source>--image --auto 自行找出 R1、R2；请去掉 --r1-end 和 --r2-end</source>
        <translation>--image --auto finds R1 and R2 itself; leave out --r1-end and --r2-end</translation>
    </message>
</context>
<context>
    <name>saed::cli::Library</name>
    <message>
        <source>--format 须为 text 或 json，而不是“%1”</source>
        <translation>--format is text or json, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--cif 需要一个文件或文件夹</source>
        <translation>--cif needs a file or folder</translation>
    </message>
    <message>
        <source>--library 与 --cif 只能给出其一</source>
        <translation>give --library or --cif, not both</translation>
    </message>
    <message>
        <source>用法：saedindex-cli library [--library FILE | --cif FILE_OR_FOLDER...] [--format text|json]

列出内置物相库或同样格式的物相库文件 FILE 中的物相：每条记录九个字段
（name;type;c/a;a;b;c;alpha;beta;gamma;），UTF-8 或 GBK 编码。含不完整记录的文件不予
使用：在 stderr 上指出该记录，退出状态为 2。

用 --cif 时列出 CIF 文件中的物相（每个含晶胞的数据块；文件夹代表其中的 *.cif 文件）：名称、
晶胞（nm，度）、空间群、原子位置数和按对称性展开后晶胞中的原子数（相距不到 0.05 Å 的对称
等效位置算作一个原子）；json 对每个物相给出 {name, cell, spaceGroup: {hm, number} 或 null,
atoms（原子位置数）, atomsPerCell, source}。无法读取的文件在 stderr 上指出并说明原因，跳过它
继续读其余文件；至少读到一个物相时退出状态为 0，否则为 2。

示例：
  saedindex-cli library --cif si.cif structures/ --format json
</source>
        <translation>usage: saedindex-cli library [--library FILE | --cif FILE_OR_FOLDER...] [--format text|json]

Lists the phases of the built-in library, or of FILE in the same format: records of nine
fields (name;type;c/a;a;b;c;alpha;beta;gamma;), in UTF-8 or GBK. A file with an incomplete
record is not used: the record is named on stderr, with exit status 2.

With --cif, lists the phases of CIF files (every data block with a cell; a folder stands for
its *.cif files): name, cell (nm, degrees), space group, number of atom sites and the atoms
they fill in the cell by symmetry (images closer than 0.05 Å count as one atom); json gives
{name, cell, spaceGroup: {hm, number} or null, atoms (the sites), atomsPerCell, source} per
phase. A file that cannot be read is named on stderr with the reason and skipped, and the
rest is read; the status is 0 when some phase was read, otherwise 2.

example:
  saedindex-cli library --cif si.cif structures/ --format json
</translation>
    </message>
    <message numerus="yes">
        <source>%n 个原子位置</source>
        <translation>
            <numerusform>%n atom site</numerusform>
            <numerusform>%n atom sites</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>晶胞中 %n 个原子</source>
        <translation>
            <numerusform>%n atom in the cell</numerusform>
            <numerusform>%n atoms in the cell</numerusform>
        </translation>
    </message>
    <message>
        <source>物相</source>
        <comment>library root</comment>
        <translation>Phases</translation>
    </message>
    <message>
        <source>用法见 saedindex-cli library --help。</source>
        <translation>Try &apos;saedindex-cli library --help&apos;.</translation>
    </message>
</context>
<context>
    <name>saed::cli::Options</name>
    <message>
        <source>缺少 --angles</source>
        <translation>--angles is required</translation>
    </message>
    <message>
        <source>--d 与 --scale（连同 --r1、--r2、--r3）只能给出其一</source>
        <translation>give either --d or --scale with --r1, --r2 and --r3, not both</translation>
    </message>
    <message>
        <source>请给出 --d，或 --scale 连同 --r1、--r2、--r3</source>
        <translation>give --d, or --scale with --r1, --r2 and --r3</translation>
    </message>
    <message>
        <source>无法读取“%1”：%2</source>
        <translation>cannot read &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>“%1”：</source>
        <translation>&apos;%1&apos;: </translation>
    </message>
    <message>
        <source>物相库文本中没有物相记录</source>
        <translation>no phase record in the library text</translation>
    </message>
    <message>
        <source>多余的参数“%1”</source>
        <translation>unexpected argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>选项 --%1 给了两次</source>
        <translation>option --%1 given twice</translation>
    </message>
    <message>
        <source>选项 --%1 不带值</source>
        <translation>option --%1 takes no value</translation>
    </message>
    <message>
        <source>选项 --%1 需要一个值</source>
        <translation>option --%1 needs a value</translation>
    </message>
    <message>
        <source>未知选项 --%1</source>
        <translation>unknown option --%1</translation>
    </message>
    <message>
        <source>选项 --%1 需要 %2 个以逗号分隔的值，实际为 %3 个</source>
        <translation>option --%1 needs %2 comma-separated values, got %3</translation>
    </message>
    <message>
        <source>%1 的第 %2 个值“%3”不是数字</source>
        <translation>%1 value %2 &apos;%3&apos; is not a number</translation>
    </message>
    <message>
        <source>%1 的第 %2 个值“%3”须在 0° 到 180° 之间</source>
        <translation>%1 value %2 &apos;%3&apos; must lie between 0° and 180°</translation>
    </message>
    <message>
        <source>%1 的第 %2 个值“%3”不能为负</source>
        <translation>%1 value %2 &apos;%3&apos; must not be negative</translation>
    </message>
    <message>
        <source>%1 的第 %2 个值“%3”须大于 0</source>
        <translation>%1 value %2 &apos;%3&apos; must be above 0</translation>
    </message>
    <message>
        <source>--range：“%1”须为 0 到 99 的整数</source>
        <translation>--range: &apos;%1&apos; must be a whole number from 0 to 99</translation>
    </message>
    <message>
        <source>“%1”有 %2 字节，超过物相库文本的上限 %3 字节</source>
        <translation>&apos;%1&apos; has %2 bytes, beyond the limit of %3 bytes for a library text</translation>
    </message>
</context>
<context>
    <name>saed::cli::Orient</name>
    <message>
        <source>用法见 saedindex-cli orient --help。</source>
        <translation>Try &apos;saedindex-cli orient --help&apos;.</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>只能给出一个结果文件</source>
        <translation>give one result file only</translation>
    </message>
    <message>
        <source>--format 须为 json 或 text</source>
        <translation>--format must be json or text</translation>
    </message>
    <message>
        <source>结果文件自带晶胞和解；请去掉 --cell、--g1 和 --g2</source>
        <translation>the result file brings the cell and the solution; leave out --cell, --g1 and --g2</translation>
    </message>
    <message>
        <source>结果文件须与 --group 或 --family 之一同用</source>
        <translation>a result file goes with either --group or --family</translation>
    </message>
    <message>
        <source>%1 中没有第 %2 组</source>
        <translation>%1 has no group %2</translation>
    </message>
    <message>
        <source>%1 中没有解族 %2</source>
        <translation>%1 has no family %2</translation>
    </message>
    <message>
        <source>请给出结果文件与 --group 或 --family，或 --cell、--g1 和 --g2</source>
        <translation>give a result file with --group or --family, or --cell, --g1 and --g2</translation>
    </message>
    <message>
        <source>--type 与 --spacegroup 只能给出其一</source>
        <translation>give either --type or --spacegroup</translation>
    </message>
    <message>
        <source>--type 须为 simple、base、body、face、rhombic 或 0 到 4</source>
        <translation>--type must be simple, base, body, face, rhombic or 0 to 4</translation>
    </message>
    <message>
        <source>这组点阵参数构不成晶胞</source>
        <translation>the lattice parameters do not form a cell</translation>
    </message>
    <message>
        <source>g1 和 g2 须是两个不平行的晶面</source>
        <translation>g1 and g2 must be two planes that are not parallel</translation>
    </message>
    <message>
        <source>这个解没有图像中的方向：请用 --r1-angle 给出 R1 在图像中的方向（度，自图像向右逆时针量）</source>
        <translation>this solution has no direction in the image: give R1&apos;s direction with --r1-angle (degrees counter-clockwise from the image&apos;s right)</translation>
    </message>
    <message>
        <source>--r1-angle 须为一个数（度）</source>
        <translation>--r1-angle takes a number (degrees)</translation>
    </message>
    <message>
        <source>--r2-angle 须为一个数（度）</source>
        <translation>--r2-angle takes a number (degrees)</translation>
    </message>
    <message>
        <source>--alpha-beta 须为 -180 到 180 度之间的两个数</source>
        <translation>--alpha-beta takes two numbers from -180 to 180 degrees</translation>
    </message>
    <message>
        <source>--axis 须为一个数（度）</source>
        <translation>--axis takes a number (degrees)</translation>
    </message>
    <message>
        <source>--max-index 须为 1 到 12 的整数</source>
        <translation>--max-index must be a whole number from 1 to 12</translation>
    </message>
    <message>
        <source>--nearest 须为 0 到 1000 的整数</source>
        <translation>--nearest must be a whole number from 0 to 1000</translation>
    </message>
    <message>
        <source>--indices 须为 3 或 4</source>
        <translation>--indices must be 3 or 4</translation>
    </message>
    <message>
        <source>--indices 4：四指数只用于六方晶胞（a = b，α = β = 90°，γ = 120°）</source>
        <translation>--indices 4: four indices are for hexagonal cells only (a = b, α = β = 90°, γ = 120°)</translation>
    </message>
    <message>
        <source>--r1-angle 和 --r2-angle 不能平行</source>
        <translation>--r1-angle and --r2-angle must not be parallel</translation>
    </message>
    <message>
        <source>此处无法绘制 PNG；请改用 --svg</source>
        <translation>a PNG cannot be drawn here; use --svg instead</translation>
    </message>
    <message>
        <source>无法生成 PNG</source>
        <translation>the PNG could not be made</translation>
    </message>
    <message>
        <source>晶带轴 %1（沿 +Z）</source>
        <translation>zone axis %1 (along +Z)</translation>
    </message>
    <message>
        <source>旋转矩阵 U（晶体系到样品系）：</source>
        <translation>rotation matrix U (crystal to sample frame):</translation>
    </message>
    <message>
        <source>Bunge 欧拉角 φ1 %1°，Φ %2°，φ2 %3°</source>
        <translation>Bunge Euler angles phi1 %1°, Phi %2°, phi2 %3°</translation>
    </message>
    <message>
        <source>%1：倾转 %2°，方位 %3°</source>
        <translation>%1: tilt %2°, azimuth %3°</translation>
    </message>
    <message>
        <source>；α %1°，β %2°（Δα %3°，Δβ %4°）</source>
        <translation>; alpha %1°, beta %2° (change of alpha %3°, of beta %4°)</translation>
    </message>
    <message>
        <source>用法：saedindex-cli orient (RESULT.json (--group N | --family N | --candidate N)
                           | --cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]
                             --g1 h,k,l --g2 h,k,l)
                          --r1-angle DEG [--r2-angle DEG] [--alpha-beta A,B] [--axis DEG]
                          [--max-index N] [--nearest K] [--indices 3|4]
                          [--svg FILE] [--png FILE] [--format json|text]

一个已标定花样（R1 标为 g1、R2 标为 g2）在显微镜中的晶体取向：旋转矩阵、Bunge 欧拉角，以及
到最近的低指数晶带轴各需倾转的角度；给出双倾样品台的轴向时还有 α、β 的读数。

参考系：样品系 X 沿图像向右，Y 沿图像向上，Z 指向观察者（逆着电子束）；晶体系 x 沿 a，
z 沿 c*。矩阵 U 把晶体系中的矢量变到样品系（v样品 = U v晶体），各行依次为 X、Y、Z 在晶体
系中的分量；欧拉角 (φ1, Φ, φ2) 属于 g = U 的转置（Bunge 约定，从样品系到晶体系）。
花样的晶带轴沿 +Z。

选项：
  RESULT.json       saedindex-cli index --format json 写出的结果，与 --group（行的组号）
                    或 --family（解族的代表行）同用；晶胞和点阵类型取自该结果；或
                    saedindex-cli identify --format json 写出的结果，与 --candidate N（候选的
                    排名）同用，R1、R2 的方向取自其网格，无须 --r1-angle
  --cell, --type, --spacegroup  代替结果文件直接给出物相，同 saedindex-cli simulate
  --g1, --g2        R1、R2 的晶面指数；六方晶胞也可给四指数 h,k,i,l
  --r1-angle DEG    图像中 R1 的方向，度，自图像向右逆时针量（识别结果之外必须给出）
  --r2-angle DEG    图像中 R2 的方向（默认：R1 逆时针转过 g1、g2 的夹角）
  --alpha-beta A,B  拍摄时双倾样品台的读数（默认 0,0）
  --axis DEG        样品台 α 轴在图像中的方向，度（默认 0，沿图像向右）；β 轴与之垂直
  --max-index N     投影中晶带轴的最大指数（默认 3，至多 12）
  --nearest K       列出最近的 K 个晶带轴（默认 8）
  --indices 3|4     文字和图中的指数：三指数或（六方晶胞）四指数；六方晶胞默认 4
  --svg FILE        把极射赤面投影写成 SVG：低指数晶带轴，以及最强晶面的大圆（已知原子时
                    按 |F|，否则按面间距）
  --png FILE        把极射赤面投影写成 600 x 600 的 PNG
  --format F        json（默认）或 text
  --help            本说明

输入有误时在 stderr 上说明，退出状态为 2。

示例（铝 [001]，(2 0 0) 沿图像向右）：
  saedindex-cli orient --cell 0.405,0.405,0.405,90,90,90 --type face --g1 2,0,0 --g2 0,2,0 \
      --r1-angle 0 --svg al-001.svg
</source>
        <translation>usage: saedindex-cli orient (RESULT.json (--group N | --family N | --candidate N)
                            | --cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]
                              --g1 h,k,l --g2 h,k,l)
                           --r1-angle DEG [--r2-angle DEG] [--alpha-beta A,B] [--axis DEG]
                           [--max-index N] [--nearest K] [--indices 3|4]
                           [--svg FILE] [--png FILE] [--format json|text]

The orientation on the microscope of an indexed pattern (R1 indexed as g1, R2 as g2): the
rotation matrix, the Bunge Euler angles, and the tilt to each of the nearest low-index zone
axes; with a double-tilt holder&apos;s axis, the alpha and beta readings as well.

Frames: the sample frame has X to the image&apos;s right, Y up the image and Z towards the viewer
(against the beam); the crystal frame has x along a and z along c*. The matrix U takes crystal
vectors to the sample frame (v_sample = U v_crystal); its rows are X, Y and Z in crystal
coordinates. The Euler angles (phi1, Phi, phi2) are those of g = U transposed (Bunge&apos;s
convention, sample to crystal). The pattern&apos;s zone axis points along +Z.

options:
  RESULT.json       a result written by saedindex-cli index --format json, with --group (a
                    row&apos;s group number) or --family (the family&apos;s representative row); the
                    cell and lattice type come from the result; or a result written by
                    saedindex-cli identify --format json with --candidate N (the candidate&apos;s
                    rank), whose net gives the directions of R1 and R2 (no --r1-angle needed)
  --cell, --type, --spacegroup  the phase given directly instead, as for saedindex-cli simulate
  --g1, --g2        the planes of R1 and R2; a hexagonal cell also takes four indices h,k,i,l
  --r1-angle DEG    where R1 points in the image, degrees counter-clockwise from the right
                    (required but for an identification)
  --r2-angle DEG    where R2 points (default: R1 turned counter-clockwise by the angle
                    between g1 and g2)
  --alpha-beta A,B  the double-tilt holder&apos;s readings when the pattern was taken (default 0,0)
  --axis DEG        the holder&apos;s alpha axis in the image, degrees (default 0, to the right);
                    the beta axis is at right angles to it
  --max-index N     the largest index of the zones of the projection (default 3, at most 12)
  --nearest K       list the K nearest zones (default 8)
  --indices 3|4     indices in the text and the picture: three or (hexagonal cells) four;
                    four by default for a hexagonal cell
  --svg FILE        write the stereographic projection as SVG: the low-index zone axes and
                    the great circles of the strongest planes (by |F| where the atoms are
                    known, else by spacing)
  --png FILE        write the stereographic projection as a 600 x 600 PNG
  --format F        json (default) or text
  --help            this text

Bad input is told on stderr with exit status 2.

example (aluminium at [001], (2 0 0) to the right):
  saedindex-cli orient --cell 0.405,0.405,0.405,90,90,90 --type face --g1 2,0,0 --g2 0,2,0 \
      --r1-angle 0 --svg al-001.svg
</translation>
    </message>
    <message>
        <source>%1 中没有候选</source>
        <translation>%1 holds no candidate</translation>
    </message>
    <message>
        <source>识别结果须与 --candidate N（候选的排名）同用</source>
        <translation>an identification is used with --candidate N (the candidate&apos;s rank)</translation>
    </message>
    <message>
        <source>--candidate 只用于 saedindex-cli identify 的结果</source>
        <translation>--candidate is for a result of saedindex-cli identify only</translation>
    </message>
    <message>
        <source>识别结果用 --candidate，不用 --group 或 --family</source>
        <translation>an identification takes --candidate, not --group or --family</translation>
    </message>
    <message>
        <source>%1 中没有第 %2 个候选</source>
        <translation>%1 has no candidate %2</translation>
    </message>
</context>
<context>
    <name>saed::cli::Reflections</name>
    <message>
        <source>用法：saedindex-cli reflections (--cif FILE | --cell a,b,c,alpha,beta,gamma --spacegroup SG
                                | --cell a,b,c,alpha,beta,gamma --type T)
                                [--range N] [--format text|json]

列出指数从 -N 到 N 的每个衍射 (h k l)，晶面间距大者在前：其晶面间距、是否允许、已知原子时
的 |F|，以及禁止的衍射能否由二次衍射出现（同一晶带中两个不平行的允许衍射之和）。

选项：
  --cif FILE         一个 CIF：取其第一个数据块的晶胞、空间群和原子位置
  --cell a,b,c,alpha,beta,gamma  点阵参数：棱长单位 nm，夹角单位度
  --spacegroup SG    Hermann-Mauguin 符号（&quot;F d -3 m&quot;、&quot;P 63/m m c&quot;）或编号
  --type T           代替空间群给出点阵类型：simple、base、body、face、rhombic，
                     或 0 到 4
  --range N          指数范围，0 &lt;= N &lt;= 20（默认 3）
  --format F         text（默认）：每个衍射一行；json：物相和一个列表，每项为
                     {hkl, d（nm）, allowed, F（|F|，单位 Å，无原子时为 null）, double}
  --help             本说明

输入有误时在 stderr 上说明，退出状态为 2。

示例（alpha-Ti：(0 0 1) 消光，(0 0 2) 允许，(0 0 1) 可由二次衍射出现）：
  saedindex-cli reflections --cell 0.29506,0.29506,0.46835,90,90,120 \
      --spacegroup &quot;P 63/m m c&quot; --range 2
</source>
        <translation>usage: saedindex-cli reflections (--cif FILE | --cell a,b,c,alpha,beta,gamma --spacegroup SG
                                 | --cell a,b,c,alpha,beta,gamma --type T)
                                 [--range N] [--format text|json]

Lists every reflection (h k l) with indices from -N to N, largest spacing first: its spacing,
whether it is allowed, |F| where the atoms are known, and whether a forbidden one can appear
by double diffraction (the sum of two allowed, non-parallel reflections of one zone).

options:
  --cif FILE         a CIF: cell, space group and atom sites of its first data block
  --cell a,b,c,alpha,beta,gamma  lattice parameters: edges in nm, angles in degrees
  --spacegroup SG    a Hermann-Mauguin symbol (&quot;F d -3 m&quot;, &quot;P 63/m m c&quot;) or a number
  --type T           instead of a space group, a lattice type: simple, base, body, face,
                     rhombic, or 0 to 4
  --range N          index range, 0 &lt;= N &lt;= 20 (default 3)
  --format F         text (default): one line per reflection; json: the phase and a list of
                     {hkl, d (nm), allowed, F (|F| in Angstrom, null without atoms), double}
  --help             this text

Bad input is told on stderr with exit status 2.

example (alpha-Ti: (0 0 1) absent, (0 0 2) allowed, (0 0 1) reachable by double diffraction):
  saedindex-cli reflections --cell 0.29506,0.29506,0.46835,90,90,120 \
      --spacegroup &quot;P 63/m m c&quot; --range 2
</translation>
    </message>
    <message>
        <source>用法见 saedindex-cli reflections --help。</source>
        <translation>Try &apos;saedindex-cli reflections --help&apos;.</translation>
    </message>
    <message>
        <source>--format 须为 text 或 json</source>
        <translation>--format must be text or json</translation>
    </message>
    <message>
        <source>--range 须为 0 到 20 的整数</source>
        <translation>--range must be a whole number from 0 to 20</translation>
    </message>
    <message>
        <source>请给出 --cif FILE，或 --cell 连同 --spacegroup 与 --type 之一</source>
        <translation>give --cif FILE, or --cell with either --spacegroup or --type</translation>
    </message>
    <message>
        <source>此处 --cif 只接受一个文件</source>
        <translation>--cif takes one file here</translation>
    </message>
    <message>
        <source>%1 含 %2 个物相；列出第一个（%3）</source>
        <translation>%1 holds %2 phases; listing the first, %3</translation>
    </message>
    <message>
        <source>--type 须为 simple、base、body、face、rhombic 或 0 到 4</source>
        <translation>--type must be simple, base, body, face, rhombic or 0 to 4</translation>
    </message>
    <message>
        <source>这组点阵参数构不成晶胞</source>
        <translation>the lattice parameters do not make a cell</translation>
    </message>
    <message>
        <source>允许</source>
        <translation>allowed</translation>
    </message>
    <message>
        <source>二次衍射</source>
        <translation>double</translation>
    </message>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>no</translation>
    </message>
</context>
<context>
    <name>saed::cli::ResultFile</name>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 太大，不像是标定结果</source>
        <translation>%1 is too large to be an indexing result</translation>
    </message>
    <message>
        <source>%1 不是 JSON：%2</source>
        <translation>%1 is not JSON: %2</translation>
    </message>
    <message>
        <source>%1 不是 saedindex-cli index --format json 写出的标定结果（缺少 input.cell 或 rows）</source>
        <translation>%1 is not a result of saedindex-cli index --format json (input.cell or rows is missing)</translation>
    </message>
    <message>
        <source>%1：第 %2 行的 g1、g2 或 zone 不是整数指数</source>
        <translation>%1: row %2 has g1, g2 or zone that are not whole indices</translation>
    </message>
    <message>
        <source>%1：候选 %2 没有晶胞（cell）；请用本版 saedindex-cli identify 重新写出</source>
        <translation>%1: candidate %2 has no cell; write it again with this version&apos;s saedindex-cli identify</translation>
    </message>
    <message>
        <source>%1：候选 %2 的 g1、g2、zone 或 family 不是整数指数</source>
        <translation>%1: g1, g2, zone or family of candidate %2 are not whole indices</translation>
    </message>
    <message>
        <source>%1 不是 saedindex-cli index 或 identify --format json 写出的结果（缺少 input.cell 与 rows，或 candidates）</source>
        <translation>%1 is not a result written by saedindex-cli index or identify --format json (input.cell and rows, or candidates, are missing)</translation>
    </message>
    <message>
        <source>%1：input.type 须为 -1 到 5 的整数（点阵类型的序号）</source>
        <translation>%1: input.type must be a whole number from -1 to 5 (the position of the lattice type in the selector)</translation>
    </message>
</context>
<context>
    <name>saed::cli::Rings</name>
    <message>
        <source>用法：saedindex-cli rings FILE [--centre X,Y] [--mask X0,Y0,X1,Y1[;...]] [--assume-rings]
                          [--calibration NAME] [--phases NAME,...] [--cif FILE|DIR ...]
                          [--format text|json|csv] [--plot OUT.png|OUT.svg [--log]]

读取多晶的衍射环花样：中心、各环共有的椭圆畸变（轴比和长轴方向）、去除畸变后的径向
强度分布及其背底、各环的半径和宽度（含不确定度），再用物相（默认全部内置物相）标定各环：
按晶面间距和 |F|²×多重性解释各环的程度给物相排名，给各环标出 (hkl) 和 d，列出无法解释
的环；剩余的环由第二个物相解释时报告为混合物。

  --centre X,Y       给定中心（图像像素）；默认由图像求出
  --mask ...         不参与测量的矩形，像素 X0,Y0,X1,Y1，多个以 ; 分隔；挡针和饱和像素
                     自动去除
  --assume-rings     即使环不连续（织构）也按环花样处理
  --calibration NAME 相机常数取自保存的标定（saedindex-cli calibrations list）；默认取
                     文件自带的标定，都没有时每个物相各自拟合相机常数
  --phases A,B       只用这些内置物相；--cif 用 CIF 文件中的物相
  --format           text（默认）、json（键见 docs/rings-json.md）或 csv（径向分布）
  --plot OUT         径向分布图（PNG 或 SVG，按扩展名），标出第一物相各环的 (hkl)；
                     --log 使强度取对数坐标

示例：
  saedindex-cli rings au-rings.tif --plot au-profile.svg
</source>
        <translation>usage: saedindex-cli rings FILE [--centre X,Y] [--mask X0,Y0,X1,Y1[;...]] [--assume-rings]
                          [--calibration NAME] [--phases NAME,...] [--cif FILE|DIR ...]
                          [--format text|json|csv] [--plot OUT.png|OUT.svg [--log]]

Reads a ring pattern of a polycrystal: the centre, the elliptical distortion all rings share
(axis ratio and direction of the major axis), the radial profile with the distortion removed
and its background, each ring&apos;s radius and width (with uncertainties); then indexes the rings
with phases (all built-in phases by default): ranks the phases by how well their spacings and
|F|^2 x multiplicity explain the rings, labels each ring with (hkl) and d, and lists the rings
none explains; a second phase explaining the rings left over is reported as a mixture.

  --centre X,Y       the centre (image pixels); found from the image by default
  --mask ...         rectangles left out, pixels X0,Y0,X1,Y1, several separated by ; (the
                     beam stop and saturated pixels are left out by themselves)
  --assume-rings     treat the pattern as rings even where they are broken (texture)
  --calibration NAME the camera constant of a saved calibration (saedindex-cli calibrations
                     list); by default the file&apos;s own, and without either each phase fits its own
  --phases A,B       only these built-in phases; --cif takes the phases of CIF files
  --format           text (default), json (keys in docs/rings-json.md) or csv (the profile)
  --plot OUT         the radial profile as a picture (PNG or SVG by the extension), the first
                     phase&apos;s rings marked (hkl); --log puts the intensity on a log scale

example:
  saedindex-cli rings au-rings.tif --plot au-profile.svg
</translation>
    </message>
    <message>
        <source>用法：saedindex-cli calibrate FILE (--standard PHASE | --cif FILE) [--centre X,Y]
                              [--mask X0,Y0,X1,Y1[;...]] [--format text|json]
                              [--save NAME [--replace] [--voltage KV] [--camera-length MM]
                              [--magnification M] [--binning N] [--microscope TEXT]]

用标样（如金、铝、硅的多晶膜）的衍射环求相机常数（每像素 1/nm）和椭圆畸变：各环半径与
标样最强的衍射（|F|²×多重性）相配，最小二乘拟合相机常数，给出各环残差和不确定度。
各环与标样不符时报告不符，不保存。--save 把标定以 NAME 存入配置文件夹中的
Calibrations.ini，此后 index --calibration NAME 和 rings --calibration NAME 可用。

  --standard PHASE   内置物相的名称（saedindex-cli library 列出），如 Au、Al、Si
  --cif FILE         标样取自 CIF 文件的第一个物相
  --replace          替换同名的标定

示例：
  saedindex-cli calibrate au-rings.tif --standard Au --save &quot;200kV 250mm&quot; --voltage 200 \
      --camera-length 250
</source>
        <translation>usage: saedindex-cli calibrate FILE (--standard PHASE | --cif FILE) [--centre X,Y]
                              [--mask X0,Y0,X1,Y1[;...]] [--format text|json]
                              [--save NAME [--replace] [--voltage KV] [--camera-length MM]
                              [--magnification M] [--binning N] [--microscope TEXT]]

Finds the camera constant (1/nm per pixel) and the elliptical distortion from the rings of a
standard (a polycrystalline film of gold, aluminium or silicon, say): the ring radii are matched
to the standard&apos;s strongest reflections (|F|^2 x multiplicity), the camera constant is fitted by
least squares, and each ring&apos;s residual and the uncertainty are given. Rings that do not match
the standard are told so and nothing is saved. --save keeps the calibration as NAME in
Calibrations.ini in the configuration folder, for index --calibration NAME and
rings --calibration NAME.

  --standard PHASE   the name of a built-in phase (saedindex-cli library lists them): Au, Al, Si
  --cif FILE         the standard is the first phase of a CIF file
  --replace          replace a calibration of the same name

example:
  saedindex-cli calibrate au-rings.tif --standard Au --save &quot;200kV 250mm&quot; --voltage 200 \
      --camera-length 250
</translation>
    </message>
    <message>
        <source>用法：saedindex-cli calibrations list [--format text|json]
      saedindex-cli calibrations show NAME [--format text|json]
      saedindex-cli calibrations remove NAME

保存的标定（配置文件夹中的 Calibrations.ini）：列出、显示一个、删除一个。
</source>
        <translation>usage: saedindex-cli calibrations list [--format text|json]
       saedindex-cli calibrations show NAME [--format text|json]
       saedindex-cli calibrations remove NAME

The saved calibrations (Calibrations.ini in the configuration folder): list them, show one,
remove one.
</translation>
    </message>
    <message>
        <source>找不到可用的中心；请用 --centre X,Y 给出图像内的中心</source>
        <translation>no usable centre; give one inside the image with --centre X,Y</translation>
    </message>
    <message>
        <source>图像中没有高出背底的衍射环</source>
        <translation>no ring stands out of the background</translation>
    </message>
    <message>
        <source>这是斑点花样，不是连续的衍射环（斑点花样请用 index --image FILE --auto）；若确为织构的环，加 --assume-rings</source>
        <translation>this is a spot pattern, not rings going round (index a spot pattern with index --image FILE --auto); for textured rings add --assume-rings</translation>
    </message>
    <message>
        <source>只有一个衍射环：求不出畸变和相机常数</source>
        <translation>a single ring: no distortion or camera constant can be had from it</translation>
    </message>
    <message>
        <source>--centre 须为 X,Y 两个数</source>
        <translation>--centre must be two numbers X,Y</translation>
    </message>
    <message>
        <source>--mask：“%1”须为 X0,Y0,X1,Y1 四个数</source>
        <translation>--mask: &apos;%1&apos; must be four numbers X0,Y0,X1,Y1</translation>
    </message>
    <message>
        <source>中心 %1, %2 像素（± %3, %4）</source>
        <translation>centre %1, %2 px (± %3, %4)</translation>
    </message>
    <message>
        <source>椭圆畸变：轴比 %1 ± %2，长轴 %3° ± %4°（自 +x 轴转向 +y，图像 y 向下）</source>
        <translation>elliptical distortion: axis ratio %1 ± %2, major axis %3° ± %4° (from +x towards +y, image y down)</translation>
    </message>
    <message>
        <source>半径（像素）</source>
        <translation>radius (px)</translation>
    </message>
    <message>
        <source>平均强度（对数）</source>
        <translation>mean intensity (log)</translation>
    </message>
    <message>
        <source>平均强度</source>
        <translation>mean intensity</translation>
    </message>
    <message>
        <source>这里无法绘制 PNG（没有图形环境）；请用 .svg</source>
        <translation>cannot draw a PNG here (no graphical environment); use .svg</translation>
    </message>
    <message>
        <source>无法生成 PNG 图</source>
        <translation>cannot make the PNG picture</translation>
    </message>
    <message>
        <source>--plot 的文件须以 .png 或 .svg 结尾</source>
        <translation>the file of --plot must end in .png or .svg</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>标定 %1</source>
        <translation>calibration %1</translation>
    </message>
    <message>
        <source>  相机常数 %1 ± %2 1/nm 每像素（10 1/nm = %3 像素）</source>
        <translation>  camera constant %1 ± %2 1/nm per pixel (10 1/nm = %3 px)</translation>
    </message>
    <message>
        <source>  椭圆畸变 轴比 %1 ± %2，长轴 %3° ± %4°</source>
        <translation>  elliptical distortion: axis ratio %1 ± %2, major axis %3° ± %4°</translation>
    </message>
    <message>
        <source>  显微镜 %1</source>
        <translation>  microscope %1</translation>
    </message>
    <message>
        <source>  加速电压 %1 kV</source>
        <translation>  voltage %1 kV</translation>
    </message>
    <message>
        <source>  相机长度 %1 mm</source>
        <translation>  camera length %1 mm</translation>
    </message>
    <message>
        <source>  放大倍数 %1</source>
        <translation>  magnification %1</translation>
    </message>
    <message>
        <source>  像素合并 %1</source>
        <translation>  binning %1</translation>
    </message>
    <message>
        <source>  标样 %1，图像 %2</source>
        <translation>  standard %1, image %2</translation>
    </message>
    <message>
        <source>  日期 %1</source>
        <translation>  date %1</translation>
    </message>
    <message>
        <source>缺少图像文件 FILE</source>
        <translation>the image file FILE is missing</translation>
    </message>
    <message>
        <source>--format 须为 text、json 或 csv</source>
        <translation>--format must be text, json or csv</translation>
    </message>
    <message>
        <source>--log 只与 --plot 同用</source>
        <translation>--log goes with --plot only</translation>
    </message>
    <message>
        <source>--cif 须给出文件或文件夹</source>
        <translation>--cif needs a file or folder</translation>
    </message>
    <message>
        <source>没有名为“%1”的内置物相（saedindex-cli library 列出内置物相）</source>
        <translation>no built-in phase is named &apos;%1&apos; (saedindex-cli library lists them)</translation>
    </message>
    <message>
        <source>没有可用的物相</source>
        <translation>no phase to use</translation>
    </message>
    <message>
        <source>相机常数 %1 1/nm 每像素，取自保存的标定“%2”</source>
        <translation>camera constant %1 1/nm per pixel, from the saved calibration &apos;%2&apos;</translation>
    </message>
    <message>
        <source>相机常数 %1 1/nm 每像素，取自文件</source>
        <translation>camera constant %1 1/nm per pixel, from the file</translation>
    </message>
    <message>
        <source>图像没有标定：每个物相各自拟合相机常数，同一点阵类型的立方物相无法由间距区分</source>
        <translation>the image has no calibration: each phase fits its own camera constant, and cubic phases of one lattice type cannot be told apart by spacings</translation>
    </message>
    <message>
        <source>环  半径/像素  不确定度  宽度/像素  |g|/(1/nm)  d/nm  连续度  物相 (hkl)</source>
        <translation>ring  radius/px  uncertainty  width/px  |g|/(1/nm)  d/nm  coverage  phase (hkl)</translation>
    </message>
    <message>
        <source>（无法解释）</source>
        <translation>(unexplained)</translation>
    </message>
    <message>
        <source>物相排名（得分 0 到 1）：</source>
        <translation>phases ranked (score 0 to 1):</translation>
    </message>
    <message>
        <source>%1  %2  得分 %3  解释 %4/%5 个环  缺失的强环占 %6 %</source>
        <translation>%1  %2  score %3  explains %4/%5 rings  strong rings missing %6 %</translation>
    </message>
    <message>
        <source>混合物：%1 解释了 %2 留下的环</source>
        <translation>mixture: %1 explains the rings %2 leaves</translation>
    </message>
    <message>
        <source>无法解释的环：%1</source>
        <translation>rings unexplained: %1</translation>
    </message>
    <message>
        <source>--format 须为 text 或 json</source>
        <translation>--format must be text or json</translation>
    </message>
    <message>
        <source>--standard 与 --cif 须给出且只给出其一</source>
        <translation>give either --standard or --cif</translation>
    </message>
    <message>
        <source>--%1 只与 --save 同用</source>
        <translation>--%1 goes with --save only</translation>
    </message>
    <message>
        <source>--save：标定名称不能为空</source>
        <translation>--save: the calibration&apos;s name cannot be empty</translation>
    </message>
    <message>
        <source>--save：标定名称不能含换行、[、] 或 =</source>
        <translation>--save: the calibration&apos;s name cannot hold a line break, [, ] or =</translation>
    </message>
    <message>
        <source>--save：标定名称首尾不能有空格</source>
        <translation>--save: the calibration&apos;s name cannot start or end with a blank</translation>
    </message>
    <message>
        <source>--%1 须为正数</source>
        <translation>--%1 must be a positive number</translation>
    </message>
    <message>
        <source>--binning 须为 1 到 64 的整数</source>
        <translation>--binning must be a whole number from 1 to 64</translation>
    </message>
    <message>
        <source>--cif：%1 中没有物相</source>
        <translation>--cif: no phase in %1</translation>
    </message>
    <message>
        <source>没有一个环与它的衍射相配</source>
        <translation>no ring matches its reflections</translation>
    </message>
    <message>
        <source>只有 %1/%2 个环相配，解释了 %3 % 的环强度，缺失的强衍射占 %4 %</source>
        <translation>only %1/%2 rings match, explaining %3 % of the rings&apos; intensity, and strong reflections holding %4 % are missing</translation>
    </message>
    <message>
        <source>%1 的衍射环与标样 %2 不符：%3；未保存标定</source>
        <translation>the rings of %1 do not match the standard %2: %3; no calibration was saved</translation>
    </message>
    <message>
        <source>标样 %1：相机常数 %2 ± %3 1/nm 每像素（10 1/nm = %4 像素），相对残差均方根 %5</source>
        <translation>standard %1: camera constant %2 ± %3 1/nm per pixel (10 1/nm = %4 px), relative residuals %5 rms</translation>
    </message>
    <message>
        <source>文件自带的标定：%1 1/nm 每像素，与此相差 %2 %</source>
        <translation>the file&apos;s own calibration: %1 1/nm per pixel, %2 % from this one</translation>
    </message>
    <message>
        <source>注意：两者相差较大，请核对相机长度、像素合并或标样</source>
        <translation>note: they differ by much; check the camera length, the binning or the standard</translation>
    </message>
    <message>
        <source>环  半径/像素  (hkl)  d/nm  |g|/(1/nm)  残差/(1/nm)</source>
        <translation>ring  radius/px  (hkl)  d/nm  |g|/(1/nm)  residual/(1/nm)</translation>
    </message>
    <message>
        <source>（不属于标样）</source>
        <translation>(not the standard&apos;s)</translation>
    </message>
    <message>
        <source>已保存为标定“%1”</source>
        <translation>saved as the calibration &apos;%1&apos;</translation>
    </message>
    <message>
        <source>未知操作“%1”；须为 list、show 或 remove</source>
        <translation>unknown action &apos;%1&apos;; it must be list, show or remove</translation>
    </message>
    <message>
        <source>%1 须给出标定名称 NAME</source>
        <translation>%1 needs the calibration&apos;s name NAME</translation>
    </message>
    <message>
        <source>remove 不接受 --format</source>
        <translation>remove takes no --format</translation>
    </message>
    <message>
        <source>已删除标定“%1”</source>
        <translation>removed the calibration &apos;%1&apos;</translation>
    </message>
    <message>
        <source>没有保存的标定（%1）</source>
        <translation>no saved calibration (%1)</translation>
    </message>
    <message>
        <source>%1  每像素 %2 1/nm  轴比 %3  %4</source>
        <translation>%1  %2 1/nm per pixel  axis ratio %3  %4</translation>
    </message>
</context>
<context>
    <name>saed::cli::Screen</name>
    <message>
        <source>用法见 saedindex-cli screen --help。</source>
        <translation>Try &apos;saedindex-cli screen --help&apos;.</translation>
    </message>
    <message>
        <source>--format 须为 text 或 json</source>
        <translation>--format must be text or json</translation>
    </message>
    <message>
        <source>--cif 需要文件或文件夹，且不能与 --library 同用</source>
        <translation>--cif needs files or folders, and goes without --library</translation>
    </message>
    <message>
        <source>这些 CIF 文件中没有带晶胞的物相</source>
        <translation>the CIF files hold no phase with a cell</translation>
    </message>
    <message>
        <source>--phases：“%1”不是 1 到 %2 的记录号</source>
        <translation>--phases: &apos;%1&apos; is not a record number from 1 to %2</translation>
    </message>
    <message>
        <source>报告：%1</source>
        <translation>report: %1</translation>
    </message>
    <message>
        <source>用法：saedindex-cli screen --angles a12,a23,a13
                           (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)
                           [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]
                           [--library FILE | --cif FILE_OR_FOLDER...] [--phases r1,r2,...]
                           [--double] [--image NAME] [--out DIR] [--format text|json]
       saedindex-cli screen --pattern FILE [--scale S,Lbar]
                           [--library FILE | --cif FILE_OR_FOLDER...] [--phases r1,r2,...]
                           [--double] [--format text|json]

用物相库中的每个物相标定实测花样，每个物相运行一次，并写出窗口中“计算选中项”在“多选”
方式下的筛选报告：每个有解的物相一段，写入文件 标定结果YYYY-MM-DD HHNNSS.txt（GB18030，
CR LF；同名报告则续写其后）。每个物相输出一行：物相描述、一个制表符和解的个数；最后输出
报告的路径。

用 --pattern FILE 时不用实测的 R1、R2、R3：在衍射图像 FILE 上检出全部斑点、拟合倒易网，
按 saedindex-cli identify 的得分给物相排序（各物相取其得分最高的晶带；没有晶带相符的物相
排在最后），不写报告。每个物相输出一行：名次、物相描述、得分和晶带轴（制表符分隔）。
标尺取自 --scale S,Lbar 或图像所带的标定；两者都没有时按每个候选拟合。

默认的物相为物相库的记录，其后是内置的晶体物相（各带空间群和原子）。

选项：
  --scale, --r1, --r2, --r3, --d, --angles, --range, --tol-d, --tol-angle
                     实测花样，同 saedindex-cli index
  --library FILE     物相库文本（记录为 name;type;c/a;a;b;c;alpha;beta;gamma;），UTF-8
                     或 GBK 编码，代替物相库和内置的晶体物相
  --cif FILE_OR_FOLDER...  改用 CIF 文件中的物相（每个含晶胞的数据块；文件夹代表其中的
                     *.cif 文件），各带其空间群和原子；无法读取的文件在 stderr 上说明后跳过
  --phases r1,r2,..  只筛选这些记录（按物相库中的顺序从 1 编号）
  --double           纳入可由二次衍射出现的禁止晶面
  --format F         text（默认）：上述各行；json：各物相按其最佳解族排序（失配度小者在前，
                     无解的物相在后），各带 record、description、rows 和最佳解族
                     {zone, forms, misfit, rows, double}（无解为 null），以及报告的路径
  --image NAME       写入报告的图像名
  --pattern FILE     按此衍射图像上斑点的识别得分排序（见上）
  --out DIR          报告所在的文件夹（默认：当前文件夹）
  --help             本说明

输入有误时在 stderr 上说明，退出状态为 2。

示例（实测花样对一个文件夹中的 CIF 排序）：
  saedindex-cli screen --cif structures/ --d 0.2338,0.2338,0.1432 --angles 70.53,54.74,54.74 \
      --format json
</source>
        <translation>usage: saedindex-cli screen --angles a12,a23,a13
                            (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)
                            [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]
                            [--library FILE | --cif FILE_OR_FOLDER...] [--phases r1,r2,...]
                            [--double] [--image NAME] [--out DIR] [--format text|json]
       saedindex-cli screen --pattern FILE [--scale S,Lbar]
                            [--library FILE | --cif FILE_OR_FOLDER...] [--phases r1,r2,...]
                            [--double] [--format text|json]

Indexes the measured pattern with every phase of a library, one run per phase, and writes
the screening report of the window&apos;s Index selected (计算选中项) in Multiple (多选)
mode: one block per phase that has solutions, in the file 标定结果YYYY-MM-DD HHNNSS.txt
(GB18030, CR LF; a report of the same name is extended). Prints one line per phase: its
description, a tab and its number of solutions; then the report&apos;s path.

With --pattern FILE no measured R1, R2, R3 are used: every spot of the diffraction image FILE
is detected, the reciprocal net fitted, and the phases ranked by the score of saedindex-cli
identify (each phase by its best zone; phases with no matching zone last); no report is
written. Prints one line per phase: rank, description, score and zone axis, tab-separated.
The scale comes from --scale S,Lbar or the image&apos;s calibration; without either it is fitted
per candidate.

By default the phases are the library&apos;s records followed by the built-in crystal phases
(each with its space group and atoms).

options:
  --scale, --r1, --r2, --r3, --d, --angles, --range, --tol-d, --tol-angle
                     the measured pattern, as for saedindex-cli index
  --library FILE     a library text (records name;type;c/a;a;b;c;alpha;beta;gamma;) in
                     UTF-8 or GBK, instead of the library and the built-in crystal phases
  --cif FILE_OR_FOLDER...  the phases of CIF files instead (every data block with a cell; a
                     folder stands for its *.cif files), each with its space group and atoms; a
                     file that cannot be read is named on stderr and skipped
  --phases r1,r2,..  screen only these records (numbered from 1, in library order)
  --double           let in forbidden planes reachable by double diffraction
  --format F         text (default): the lines above; json: the phases ranked by their best
                     solution family (least misfit first, phases without solutions last), each
                     with record, description, rows and best {zone, forms, misfit, rows,
                     double} or null, and the report&apos;s path
  --image NAME       the image name written into the report
  --pattern FILE     rank by the identification score on this diffraction image (see above)
  --out DIR          the report&apos;s folder (default: the current folder)
  --help             this text

Bad input is told on stderr with exit status 2.

example (a pattern against a folder of CIFs, ranked):
  saedindex-cli screen --cif structures/ --d 0.2338,0.2338,0.1432 --angles 70.53,54.74,54.74 \
      --format json
</translation>
    </message>
    <message>
        <source>%1 太大，内存容纳不下。</source>
        <translation>%1 is too large to fit in memory.</translation>
    </message>
    <message>
        <source>--scale 须为两个正数 S,Lbar</source>
        <translation>--scale must be two positive numbers S,Lbar</translation>
    </message>
    <message>
        <source>没有带可用晶胞的物相</source>
        <translation>no phase with a usable cell</translation>
    </message>
    <message>
        <source>--pattern 由图像给出花样；请去掉 --%1</source>
        <translation>--pattern takes the pattern from the image; leave out --%1</translation>
    </message>
</context>
<context>
    <name>saed::cli::Simulate</name>
    <message>
        <source>用法见 saedindex-cli simulate --help。</source>
        <translation>Try &apos;saedindex-cli simulate --help&apos;.</translation>
    </message>
    <message>
        <source>这组点阵参数构不成晶胞</source>
        <translation>the lattice parameters do not form a cell</translation>
    </message>
    <message>
        <source>[0 0 0] 不是晶带轴</source>
        <translation>the zone [0 0 0] is no axis</translation>
    </message>
    <message>
        <source>--max-g 须大于 0，且对该晶胞不能过大（至多 %1 组指数）</source>
        <translation>--max-g must be above 0 and small enough for the cell (at most %1 index triples)</translation>
    </message>
    <message>
        <source>--max-g 范围内没有允许的斑点</source>
        <translation>no allowed spot lies within --max-g</translation>
    </message>
    <message>
        <source>无法生成该花样</source>
        <translation>the pattern cannot be made</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>缺少 --zone</source>
        <translation>--zone is required</translation>
    </message>
    <message>
        <source>--type 须为 simple、base、body、face、rhombic 或 0 到 4</source>
        <translation>--type must be simple, base, body, face, rhombic or 0 to 4</translation>
    </message>
    <message>
        <source>--max-g 须为大于 0 的数</source>
        <translation>--max-g must be a number above 0</translation>
    </message>
    <message>
        <source>--format 须为 json、svg 或 png</source>
        <translation>--format must be json, svg or png</translation>
    </message>
    <message>
        <source>--format png 须给出 --out FILE</source>
        <translation>--format png needs --out FILE</translation>
    </message>
    <message>
        <source>无法生成 PNG</source>
        <translation>the PNG could not be made</translation>
    </message>
    <message>
        <source>--cell 与 --cif 须给出且只给出其一</source>
        <translation>give either --cell or --cif</translation>
    </message>
    <message>
        <source>--type 只与 --cell 同用，不能与 --spacegroup 或 --cif 同用</source>
        <translation>--type goes with --cell alone, not with --spacegroup or --cif</translation>
    </message>
    <message>
        <source>--cif 自带空间群；请去掉 --spacegroup</source>
        <translation>--cif brings its own space group; leave out --spacegroup</translation>
    </message>
    <message>
        <source>--cif：%1 中没有物相</source>
        <translation>--cif: no phase in %1</translation>
    </message>
    <message>
        <source>%1 含 %2 个物相；模拟第一个（%3）</source>
        <translation>%1 holds %2 phases; simulating the first, %3</translation>
    </message>
    <message>
        <source>用法：saedindex-cli simulate (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]
                              | --cif FILE) --zone U,V,W
                             [--max-g G] [--format json|svg|png] [--out FILE]

[UVW] 零阶劳厄带的运动学斑点花样：点阵类型或空间群允许、满足 h U + k V + l W = 0 且
|g| &lt;= G 的每个衍射 (h k l)，画在花样平面内，最短的斑点 g1 沿 +x，+y = [UVW] x g1。

选项：
  --cell a,b,c,alpha,beta,gamma  点阵参数：棱长单位 nm，夹角单位度
  --type T      点阵类型：simple、base、body、face、rhombic，或 0 到 4（默认 simple）
  --spacegroup SG  代替 --type 给出空间群（&quot;F d -3 m&quot;、&quot;P 63/m m c&quot; 或编号）：
                按其系统消光
  --cif FILE    代替 --cell：取第一个数据块的晶胞、空间群和原子位置；原子使 |F| 为零的
                衍射也被略去
  --zone U,V,W  晶带轴，整数，不全为 0；六方晶胞也可给四指数 U,V,T,W（T = -(U+V)），
                JSON 中六方晶胞的晶带轴和斑点另有四指数 uvtw、hkil
  --max-g G     斑点取到 |g| &lt;= G（1/nm，默认 10）
  --format F    json（默认）：晶带轴、g1 和各斑点，每个斑点带 hkl、x 和 y（1/nm）、
                d（nm）和 intensity（已知原子时为 |F|^2，单位 Å^2，否则每个斑点为 1）；
                svg：SVG 图，斑点大小随 |F| 增大；png：600 x 600 的图（须给出 --out）
  --out FILE    写入 FILE 而不是标准输出
  --help        本说明

示例（铝的 [011] 晶带，输出为图）：
  saedindex-cli simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,1,1 \
      --max-g 12 --format svg --out al-011.svg
示例（取自 CIF 的硅，[011] 晶带，没有 {200} 和 {222}）：
  saedindex-cli simulate --cif si.cif --zone 0,1,1 --max-g 8
示例（镁的 [2 -1 -1 0] 晶带，四指数）：
  saedindex-cli simulate --cell 0.32094,0.32094,0.52107,90,90,120 --spacegroup &quot;P 63/m m c&quot; \
      --zone 2,-1,-1,0
</source>
        <translation>usage: saedindex-cli simulate (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]
                               | --cif FILE) --zone U,V,W
                              [--max-g G] [--format json|svg|png] [--out FILE]

The kinematic spot pattern of the zero-order Laue zone of [UVW]: every reflection (h k l)
allowed by the lattice type or space group with h U + k V + l W = 0 and |g| &lt;= G, placed in
the pattern plane with the shortest spot g1 along +x and +y = [UVW] x g1.

options:
  --cell a,b,c,alpha,beta,gamma  lattice parameters: edges in nm, angles in degrees
  --type T      lattice type: simple, base, body, face, rhombic, or 0 to 4 (default simple)
  --spacegroup SG  instead of --type, the space group (&quot;F d -3 m&quot;, &quot;P 63/m m c&quot; or a
                number): its systematic absences
  --cif FILE    instead of --cell, the cell, space group and atom sites of the first data
                block; a reflection whose |F| the atoms cancel is left out as well
  --zone U,V,W  the zone axis, whole numbers, not all 0; a hexagonal cell also takes four
                indices U,V,T,W (T = -(U+V)), and its JSON gives the zone and the spots in
                four indices as well (uvtw, hkil)
  --max-g G     spots out to |g| &lt;= G in 1/nm (default 10)
  --format F    json (default): zone, g1 and the spots, each with hkl, x and y (1/nm),
                d (nm) and intensity (|F|^2 in Angstrom^2 where the atoms are known, else
                1 for every spot); svg: the picture as SVG, spot sizes growing with |F|;
                png: a 600 x 600 picture (needs --out)
  --out FILE    write to FILE instead of the standard output
  --help        this text

example (aluminium, the [011] zone, as a picture):
  saedindex-cli simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,1,1 \
      --max-g 12 --format svg --out al-011.svg
example (silicon from a CIF, the [011] zone without {200} and {222}):
  saedindex-cli simulate --cif si.cif --zone 0,1,1 --max-g 8
example (magnesium, the [2 -1 -1 0] zone in four indices):
  saedindex-cli simulate --cell 0.32094,0.32094,0.52107,90,90,120 --spacegroup &quot;P 63/m m c&quot; \
      --zone 2,-1,-1,0
</translation>
    </message>
</context>
<context>
    <name>saed::cli::Tilt</name>
    <message>
        <source>用法见 saedindex-cli tilt --help。</source>
        <translation>Try &apos;saedindex-cli tilt --help&apos;.</translation>
    </message>
    <message>
        <source>须给出两个标定结果文件 FIRST.json 和 SECOND.json</source>
        <translation>give two result files, FIRST.json and SECOND.json</translation>
    </message>
    <message>
        <source>--format 须为 text 或 json</source>
        <translation>--format must be text or json</translation>
    </message>
    <message>
        <source>须给出 --angle 与 --alpha-beta 之一</source>
        <translation>give either --angle or --alpha-beta</translation>
    </message>
    <message>
        <source>--angle 须为 0 到 180 度的数（两个方向的夹角不超过 180°）</source>
        <translation>--angle must be a number from 0 to 180 degrees (two directions are at most 180° apart)</translation>
    </message>
    <message>
        <source>--alpha-beta 须为四个数 A1,B1,A2,B2（度）</source>
        <translation>--alpha-beta takes four numbers A1,B1,A2,B2 (degrees)</translation>
    </message>
    <message>
        <source>--alpha-beta 的读数须在 -180 到 180 度之间</source>
        <translation>the readings of --alpha-beta must lie from -180 to 180 degrees</translation>
    </message>
    <message>
        <source>--tolerance 须为 0 到 90 度的数</source>
        <translation>--tolerance must be a number from 0 to 90 degrees</translation>
    </message>
    <message>
        <source>--directions 须为四个数 P1,Q1,P2,Q2（度）</source>
        <translation>--directions takes four numbers P1,Q1,P2,Q2 (degrees)</translation>
    </message>
    <message>
        <source>--axis 须为一个数（度）</source>
        <translation>--axis takes a number (degrees)</translation>
    </message>
    <message>
        <source>%1 中没有解</source>
        <translation>%1 holds no solution</translation>
    </message>
    <message>
        <source>结果中的点阵参数构不成晶胞</source>
        <translation>the result&apos;s lattice parameters do not form a cell</translation>
    </message>
    <message>
        <source>--directions：同一张图像中 R1 和 R2 的方向不能平行</source>
        <translation>--directions: R1 and R2 of one image must not be parallel</translation>
    </message>
    <message>
        <source>无法检验该倾转</source>
        <translation>the tilt cannot be checked</translation>
    </message>
    <message>
        <source>倾转角 %1°，容差 %2°</source>
        <translation>tilt %1°, tolerance %2°</translation>
    </message>
    <message>
        <source>解族 %1 &lt;%2&gt;：保留</source>
        <translation>family %1 &lt;%2&gt;: kept</translation>
    </message>
    <message>
        <source>解族 %1 &lt;%2&gt;：排除（没有相差该倾转角的解）</source>
        <translation>family %1 &lt;%2&gt;: ruled out (no solution the tilt away)</translation>
    </message>
    <message>
        <source>配对 %1 个</source>
        <translation>%1 pairs</translation>
    </message>
    <message>
        <source>，取向偏差 %1°</source>
        <translation>, orientation misfit %1°</translation>
    </message>
    <message>
        <source>用法：saedindex-cli tilt FIRST.json SECOND.json (--angle DEG | --alpha-beta A1,B1,A2,B2)
                         [--tolerance DEG] [--directions P1,Q1,P2,Q2] [--axis DEG]
                         [--phase NAME] [--format text|json]

同一晶粒的两张衍射花样，各由 saedindex-cli index --format json 标定或由
saedindex-cli identify --format json 识别，两次拍摄之间样品台倾转了一个角度。列出两组结果中
晶带轴夹角与倾转角相符（在容差内）的每一对解，按夹角偏差从小到大；第一张花样中没有任何
一对支持的解族列为“排除”。识别结果的每个候选是一个解（其 g1、g2 沿网格的 a、b），
候选按物相分组，用两个文件共有的物相中第一个文件排名最前的一个。

选项：
  --angle DEG       单倾样品台的倾转角，0 到 180 度
  --alpha-beta A1,B1,A2,B2  双倾样品台两次拍摄时的读数 (α, β)，度；倾转角由其算出
  --tolerance DEG   夹角（以及取向）的容差，度（默认 1）
  --directions P1,Q1,P2,Q2  两张图像中 R1、R2 的方向（度，自图像向右逆时针量）：给出时，
                    一对解还须是同一个晶体取向，即第一张的取向经样品台转动后得到第二张的
  --axis DEG        样品台倾转轴（双倾时为 α 轴）在图像中的方向，度（默认 0，沿图像向右）；
                    不给 --directions 时，R1、R2 的方向取自识别结果的网格，两张花样都须有
  --phase NAME      识别结果中用这个物相的候选
  --format F        text（默认）或 json
  --help            本说明

两个结果须来自同一物相（晶胞、点阵类型和空间群相同）。六方晶胞的文字输出用四指数。
JSON 中识别结果的解以 rank（候选的排名）代替 group。
输入有误时在 stderr 上说明，退出状态为 2。

示例（铝：第一张花样既可标为 &lt;114&gt; 也可标为 &lt;011&gt;，第二张为 [001]，倾转 19.47°）：
  saedindex-cli index --cell 0.405,0.405,0.405,90,90,90 --type face --d 0.14319,0.12211,0.07794 \
      --angles 64.76,29.50,35.26 --format json &gt; first.json
  saedindex-cli index --cell 0.405,0.405,0.405,90,90,90 --type face --d 0.2025,0.2025,0.14319 \
      --angles 90,45,45 --format json &gt; second.json
  saedindex-cli tilt first.json second.json --angle 19.47
</source>
        <translation>usage: saedindex-cli tilt FIRST.json SECOND.json (--angle DEG | --alpha-beta A1,B1,A2,B2)
                          [--tolerance DEG] [--directions P1,Q1,P2,Q2] [--axis DEG]
                          [--phase NAME] [--format text|json]

Two diffraction patterns of one grain, each indexed by saedindex-cli index --format json or
identified by saedindex-cli identify --format json, with the specimen tilted between them.
Lists every pair of solutions of the two results whose zone axes are the tilt apart (within
the tolerance), smallest misfit of the angle first; a solution family of the first pattern
that no pair supports is listed as ruled out. Each candidate of an identification is a
solution (its g1 and g2 along the net&apos;s a and b); candidates are grouped by phase, and the
phase both files share that ranks best in the first file is used.

options:
  --angle DEG       the tilt of a single-tilt holder, 0 to 180 degrees
  --alpha-beta A1,B1,A2,B2  the double-tilt holder&apos;s readings (alpha, beta) for the two
                    patterns, degrees; the tilt is computed from them
  --tolerance DEG   the tolerance of the angle (and of the orientation), degrees (default 1)
  --directions P1,Q1,P2,Q2  where R1 and R2 point in the two images (degrees counter-
                    clockwise from the right): with them a pair must also be one orientation
                    of the crystal, the first turned by the holder giving the second
  --axis DEG        the holder&apos;s tilt axis (alpha axis for double tilt) in the image, degrees
                    (default 0, to the right); without --directions the directions of R1 and
                    R2 come from the nets of identifications, which both patterns must have
  --phase NAME      use the candidates of this phase of an identification
  --format F        text (default) or json
  --help            this text

Both results must come from one phase (the same cell, lattice type and space group). A
hexagonal cell&apos;s text output uses four indices. In JSON a solution of an identification
carries its rank instead of a group.
Bad input is told on stderr with exit status 2.

example (aluminium: the first pattern indexes as &lt;114&gt; or as &lt;011&gt;, the second is [001],
tilted 19.47 degrees away):
  saedindex-cli index --cell 0.405,0.405,0.405,90,90,90 --type face --d 0.14319,0.12211,0.07794 \
      --angles 64.76,29.50,35.26 --format json &gt; first.json
  saedindex-cli index --cell 0.405,0.405,0.405,90,90,90 --type face --d 0.2025,0.2025,0.14319 \
      --angles 90,45,45 --format json &gt; second.json
  saedindex-cli tilt first.json second.json --angle 19.47
</translation>
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
        <source>晶胞 %1, %2, %3 nm; %4°, %5°, %6°</source>
        <translation>cell %1, %2, %3 nm; %4°, %5°, %6°</translation>
    </message>
    <message>
        <source>%1 中没有物相 %2 的候选</source>
        <translation>%1 has no candidate of the phase %2</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 和 %2 来自不同的物相（%3 与 %4：晶胞、点阵类型或空间群不同）；两张花样须用同一物相标定</source>
        <translation>%1 and %2 come from different phases (%3 against %4: the cell, lattice type or space group differs); both patterns must be indexed with one phase</translation>
    </message>
    <message>
        <source>%1 的解没有图像中的方向（由数值标定的结果不知 R1、R2 在图像中的方向）：请用 --directions 给出两张图像中 R1、R2 的方向</source>
        <translation>the solutions of %1 have no direction in the image (a result indexed from typed values does not know where R1 and R2 point): give the directions of R1 and R2 in both images with --directions</translation>
    </message>
    <message>
        <source>物相 %1</source>
        <translation>phase %1</translation>
    </message>
    <message>
        <source>%1 %2 — %3 %4：夹角 %5°，偏差 %6°</source>
        <translation>%1 %2 — %3 %4: angle %5°, misfit %6°</translation>
    </message>
</context>
</TS>
