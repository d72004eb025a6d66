REM Orvik Excel To PDF in Calc: turns the workbook being edited into a PDF beside
REM it with the command-line converter of the installation. The add-in library
REM puts the converter's absolute path in place of the marker when it installs
REM this extension.
Option Explicit

Private Const ConverterPath = "@ORVIK_XL2PDF@"
Private Const BoxTitle = "Orvik Excel To PDF"

Private Const MB_YESNO = 4
Private Const MB_YESNOCANCEL = 3
Private Const MB_ICONSTOP = 16
Private Const MB_ICONQUESTION = 32
Private Const MB_ICONINFORMATION = 64
Private Const IDYES = 6
Private Const IDNO = 7

REM The command of the File menu and the toolbar.
Sub ConvertActiveWorkbook
    ConvertDocument(ThisComponent)
End Sub

REM Converts doc, a workbook stored as .xls or .xlsx. replaceExisting answers the
REM question about a PDF that is already there; without it the user is asked.
REM Returns what happened: "converted", "no-pdf", "refused", "cancelled", "kept"
REM or "error: " and the Basic error. A box that is closed or gives no answer counts as No or Cancel.
Function ConvertDocument(doc As Object, Optional replaceExisting As Variant) As String
    On Error GoTo Failed
    ConvertDocument = "refused"
    If Not IsStoredWorkbook(doc) Then
        MsgBox "Only workbooks saved as .xls or .xlsx can be converted. Save the workbook in one of these formats first.", _
            MB_ICONSTOP, BoxTitle
        Exit Function
    End If
    Dim workbook As String
    workbook = ConvertFromURL(doc.getURL())
    If InStr(workbook, Chr(34)) > 0 Then
        MsgBox "The workbook's path holds a double quote (" & Chr(34) & "), which cannot be passed to the converter. " & _
            "Rename the file or its folder first.", MB_ICONSTOP, BoxTitle
        Exit Function
    End If

    If doc.isModified() Then
        Select Case MsgBox("The workbook has unsaved changes. Save them before converting?", _
                           MB_YESNOCANCEL + MB_ICONQUESTION, BoxTitle)
        Case IDYES
            doc.store()
        Case IDNO
        Case Else
            ConvertDocument = "cancelled"
            Exit Function
        End Select
    End If

    Dim folder As String, pdf As String, pdfUrl As String
    folder = FolderOf(workbook)
    pdf = PathIn(folder, BaseNameOf(workbook) & ".pdf")
    pdfUrl = ConvertToURL(pdf)
    Dim files As Object
    files = CreateUnoService("com.sun.star.ucb.SimpleFileAccess")
    Dim existed As Boolean, stampBefore As String, overwrite As Boolean
    existed = files.exists(pdfUrl)
    If existed Then
        If IsMissing(replaceExisting) Then
            overwrite = (MsgBox(Replace("%s already exists. Do you want to replace it?", "%s", pdf), _
                                MB_YESNO + MB_ICONQUESTION, BoxTitle) = IDYES)
        Else
            overwrite = CBool(replaceExisting)
        End If
        If Not overwrite Then
            ConvertDocument = "kept"
            Exit Function
        End If
        stampBefore = StampOf(files, pdfUrl)
    End If

    Dim params As String
    params = Chr(34) & workbook & Chr(34) & " -o " & Chr(34) & folder & Chr(34)
    If overwrite Then params = "--overwrite " & params
    Shell(Chr(34) & ConverterPath & Chr(34), 0, params, True)

    Dim made As Boolean
    made = files.exists(pdfUrl)
    If made And existed Then made = (StampOf(files, pdfUrl) <> stampBefore)
    If made Then
        ConvertDocument = "converted"
        If MsgBox(Replace("The PDF was written: %s. Open it now?", "%s", pdf), _
                  MB_YESNO + MB_ICONQUESTION, BoxTitle) = IDYES Then
            CreateUnoService("com.sun.star.system.SystemShellExecute").execute(pdfUrl, "", 1)
        End If
    Else
        ConvertDocument = "no-pdf"
        Dim command As String
        command = ShellWord(ConverterPath) & " " & ShellWord(workbook) & " -o " & ShellWord(folder)
        MsgBox Replace(Replace("No PDF was made from %1. To see why, run in a terminal: %2", "%1", workbook), _
                       "%2", command), MB_ICONSTOP, BoxTitle
    End If
    Exit Function

Failed:
    Dim problem As String
    problem = Error$ & " (error " & Err & ", line " & Erl & ")"
    ConvertDocument = "error: " & problem
    MsgBox "The conversion could not be done: " & problem, MB_ICONSTOP, BoxTitle
End Function

Private Function IsStoredWorkbook(doc As Object) As Boolean
    IsStoredWorkbook = False
    If IsNull(doc) Then Exit Function
    If Not HasUnoInterfaces(doc, "com.sun.star.lang.XServiceInfo", "com.sun.star.frame.XStorable") Then Exit Function
    If Not doc.supportsService("com.sun.star.sheet.SpreadsheetDocument") Then Exit Function
    If Not doc.hasLocation() Then Exit Function
    Dim url As String
    url = LCase(doc.getURL())
    If Left(url, 8) <> "file:///" Then Exit Function
    IsStoredWorkbook = (Right(url, 4) = ".xls" Or Right(url, 5) = ".xlsx")
End Function

Private Function FolderOf(path As String) As String
    Dim slash As Long
    slash = LastPos(path, "/")
    If slash <= 1 Then
        FolderOf = "/"
    Else
        FolderOf = Left(path, slash - 1)
    End If
End Function

Private Function PathIn(folder As String, name As String) As String
    If Right(folder, 1) = "/" Then
        PathIn = folder & name
    Else
        PathIn = folder & "/" & name
    End If
End Function

Private Function BaseNameOf(path As String) As String
    Dim name As String, dot As Long
    name = Mid(path, LastPos(path, "/") + 1)
    dot = LastPos(name, ".")
    If dot > 1 Then name = Left(name, dot - 1)
    BaseNameOf = name
End Function

REM Where part last occurs in text (1-based), 0 when it does not.
Private Function LastPos(text As String, part As String) As Long
    Dim at As Long, found As Long
    at = InStr(1, text, part)
    Do While at > 0
        found = at
        at = InStr(at + 1, text, part)
    Loop
    LastPos = found
End Function

REM When the file was last written, to the nanosecond, as text to compare.
REM Time and size: the time alone may keep to whole seconds, and a quick
REM conversion replaces a PDF within the second it was written.
Private Function StampOf(files As Object, url As String) As String
    Dim t As Object
    t = files.getDateTimeModified(url)
    StampOf = t.Year & "-" & t.Month & "-" & t.Day & " " & t.Hours & ":" & t.Minutes & ":" & t.Seconds & "." & _
              t.NanoSeconds & " " & files.getSize(url)
End Function

REM A word for a POSIX shell: in single quotes unless it is plain.
Private Function ShellWord(text As String) As String
    Dim i As Long, c As String, plain As Boolean
    plain = Len(text) > 0
    For i = 1 To Len(text)
        c = Mid(text, i, 1)
        If InStr("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:=@", c) = 0 Then plain = False
    Next i
    If plain Then
        ShellWord = text
    Else
        ShellWord = "'" & Replace(text, "'", "'\''") & "'"
    End If
End Function
