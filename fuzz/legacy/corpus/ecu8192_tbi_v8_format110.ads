//------------------------------------------------------------------------------
// Created by Quorlen. Hand editing is *not* recommended or supported.
//------------------------------------------------------------------------------
// Throttle body injected V8, 8192 baud, written in format 1.10


//--------------------
// HEADER
//--------------------
{
	fDefFrmtVers             =1.10;
	strDefVersion            =Version 1.0;
	strDefTitle              =TBI V8 8192 Baud Stream;
	strAuthor                =Varnak project examples;
	strEngine                =5.7L V8 TBI;
	strYear                  =1988-1991;
	strVINCode               =K;
	strCodeMask              =AMBU;
	strComments              =Format 1.10 files carry flags that readers do not take.;
	iBaud                    =8192;
	dwFlags                  =0x00000001;
	dwCSID                   =0x0000;
	btNumDumpRequests        =1;
	strCommandName           =Mode 1 Data Request;
	rgbtCommand              =F4,56,01,00,;
	iTotalBytesInCommand     =4;
	bChecksumCommand         =1;
	iNumBytesInPayload       =25;
	iNumBytesBeforePayload   =3;
	bMaster                  =1;
	bMonitor                 =1;
	iChainTo                 =-1;
}

//--------------------
// DASH
//--------------------
{
	dwItemType               =6;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =900;
	btNumGauges              =2;
	strIDsDisplayed          =1,2;
	btNumMonitors            =1;
	strMonsDisplayed         =1;
}

//--------------------
// LOOKUP TABLES
//--------------------
{
	dwItemType               =5;
	strItemComments          =Counts to tenths of a degree;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =30;
	btDataType               =1;
	wTableSize               =16;
	wIndexSize               =2;
	strTableName             =Knock Retard Steps;
	dwReserved               =0;
	dwReserved               =0;
	pbtData                  =0, 0
				 1, 3
				 2, 6
				 4, 12
				 8, 24
				 15, 45;
}

//--------------------
// VALUES
//--------------------
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =1;
	btByteNumber             =3;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =25.000000;
	dOffset                  =0.000000;
	strItemTitle             =Engine Speed;
	strUnitLabel             =RPM;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =2;
	btByteNumber             =4;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =0.750000;
	dOffset                  =-40.000000;
	strItemTitle             =Coolant Temperature;
	strUnitLabel             =Deg C;
	dwAlarmHigh              =170;
	bAlarmHighENable         =1;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =3;
	btByteNumber             =20;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =6;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Knock Retard;
	strUnitLabel             =Deg x10;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =30;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =4;
	btByteNumber             =6;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =12.500000;
	dOffset                  =0.000000;
	strItemTitle             =Desired Idle;
	strUnitLabel             =RPM;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}

//--------------------
// BITS
//--------------------
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =10;
	btByteNumber             =21;
	btMessageNumber          =1;
	btBitNumber              =2;
	strItemTitle             =Knock Detected;
	bAlarmSetEnable          =1;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =Knock;
	strBitClearTitle         =None;
}
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =11;
	btByteNumber             =21;
	btMessageNumber          =1;
	btBitNumber              =5;
	strItemTitle             =Torque Converter Clutch;
	bAlarmSetEnable          =0;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =Locked;
	strBitClearTitle         =Unlocked;
}
